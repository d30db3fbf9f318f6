#include "app/FormMain.h"

#include "app/RunAtStartup.h"
#include "customers/CustomerTab.h"
#include "customers/FormCustomerDIY.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "maintenance/CompactDatabase.h"
#include "maintenance/Config.h"
#include "maintenance/FormDataMgr.h"
#include "notebook/NoteTab.h"
#include "reminders/Alam.h"
#include "reminders/AlamTab.h"
#include "reminders/FormShowAlam.h"
#include "sms/FormSmsLog.h"
#include "sms/FormSmsSettings.h"
#include "sms/SmsGateway.h"
#include "sms/SmsSettings.h"
#include "ui/AppTitle.h"
#include "ui/ExceptionHandler.h"
#include "ui/FormWaiting.h"
#include "ui/Messages.h"
#include "ui/Shell.h"
#include "ui/WindowMessages.h"
#include "util/HomePage.h"
#include "util/RunningHint.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace {

constexpr int kHintIntervalMs = 200;
constexpr int kDueCheckIntervalMs = 1000;
constexpr int kBottomPanelHeight = 34;

QWidget* treeWithStatusBar(QTreeWidget* tree, QStatusBar* bar, QLabel* panel, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    tree->setHeaderHidden(true);
    bar->setSizeGripEnabled(false);
    bar->addWidget(panel, 1);
    layout->addWidget(tree, 1);
    layout->addWidget(bar);
    return box;
}

// A tab with a tree on the left and its content beside it, split by a movable bar.
void layOutTreeTab(QWidget* tab, QWidget* treeBox, QWidget* content) {
    auto* splitter = new QSplitter(Qt::Horizontal, tab);
    splitter->addWidget(treeBox);
    splitter->addWidget(content);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 800});
    auto* layout = new QHBoxLayout(tab);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(splitter);
}

} // namespace

TFormMain::TFormMain(QWidget* parent) : QWidget(parent) {
    setObjectName("FormMain");
    setWindowTitle(MainCaption());
    resize(1024, 588);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    pgc1 = new QTabWidget(this);
    ts1 = createCustomerTab();
    ts2 = createNoteTab();
    ts3 = createReminderTab();
    pgc1->addTab(ts1, QStringLiteral("客户管理"));
    pgc1->addTab(ts2, QStringLiteral("记事本"));
    pgc1->addTab(ts3, QStringLiteral("定时提醒"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pgc1, 1);
    layout->addWidget(createBottomPanel());
    createSystemMenu();

    hint = std::make_unique<TRunningHint>(tv1->toolTip());
    tmrHint = new QTimer(this);
    tmrHint->setInterval(kHintIntervalMs);
    connect(tmrHint, &QTimer::timeout, this, &TFormMain::tmrHintTimer);
    tmrHint->start();

    FormCreate();
}

TFormMain::~TFormMain() = default;

QWidget* TFormMain::createCustomerTab() {
    auto* tab = new QWidget(this);
    tv1 = new QTreeWidget(tab);
    tv1->setToolTip(QStringLiteral("点右键可以新建、修改和删除分组"));
    statHint = new QStatusBar(tab);
    statHintPanel = new QLabel(statHint);
    customers = new TCustomerTab(tv1, tab);
    pnlCustomers = customers;
    layOutTreeTab(tab, treeWithStatusBar(tv1, statHint, statHintPanel, tab), pnlCustomers);
    return tab;
}

QWidget* TFormMain::createNoteTab() {
    auto* tab = new QWidget(this);
    tvNote = new QTreeWidget(tab);
    stat2 = new QStatusBar(tab);
    stat2Panel = new QLabel(stat2);
    notebook = new TNoteTab(tvNote, tab);
    pnlNote = notebook;
    layOutTreeTab(tab, treeWithStatusBar(tvNote, stat2, stat2Panel, tab), pnlNote);
    return tab;
}

QWidget* TFormMain::createReminderTab() {
    alamTab = new TAlamTab(this);
    lv1 = alamTab->lv1;
    tmr1 = new QTimer(this);
    tmr1->setInterval(kDueCheckIntervalMs);
    connect(tmr1, &QTimer::timeout, this,
            [this] { RunHandled(this, [] { SmsGateway().PollReports(); }); });
    connect(tmr1, &QTimer::timeout, alamTab, &TAlamTab::tmr1Timer);
    return alamTab;
}

QWidget* TFormMain::createBottomPanel() {
    pnlBottom = new QWidget(this);
    pnlBottom->setFixedHeight(kBottomPanelHeight);
    chk1 = new QCheckBox(QStringLiteral("开机运行"), pnlBottom);
    btnSystem = new QPushButton(QStringLiteral("软件设置"), pnlBottom);
    btnSystem->setAutoDefault(false);
    chk1->adjustSize();
    btnSystem->resize(90, 25);
    pnlBottom->installEventFilter(this);
    connect(btnSystem, &QPushButton::clicked, this, &TFormMain::btnSystemClick);
    connect(chk1, &QCheckBox::clicked, this, &TFormMain::chk1Click);
    return pnlBottom;
}

void TFormMain::createSystemMenu() {
    pmSystem = new QMenu(this);
    N10 = pmSystem->addAction(QStringLiteral("自定义客户资料"));
    N15 = pmSystem->addAction(QStringLiteral("软件设置"));
    N1 = pmSystem->addAction(QStringLiteral("短信设置"));
    NSmsLog = pmSystem->addAction(QStringLiteral("短信记录"));
    connect(NSmsLog, &QAction::triggered, this, [] { ShowSmsLogDialog(); });
    pmSystem->addSeparator();
    N8 = pmSystem->addAction(QStringLiteral("数据维护"));
    connect(N8, &QAction::triggered, this, [] { ShowDataMgrDialog(); });
    pmSystem->addSeparator();
    NOpenWWW1 = pmSystem->addAction(QStringLiteral("软件主页"));
    connect(N10, &QAction::triggered, this, [] { ShowCustomerDIYDialog(); });
    connect(N1, &QAction::triggered, this, [] { ShowSmsSettings(); });
    connect(N15, &QAction::triggered, this, &TFormMain::N15Click);
    connect(NOpenWWW1, &QAction::triggered, this, &TFormMain::NOpenWWW1Click);
}

void TFormMain::FormCreate() {
    WaitingWindow();
    customers->CreateTree();
    notebook->CreateTree();
    SmsGateway().SmsOn = SmsParams().SmsSelend;
    SmsGateway().ConnectModem(SmsParams().SmsCom);
}

void TFormMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (firstShow())
        FormShow();
}

void TFormMain::FormShow() {
    if (!LogIn()) {
        QCoreApplication::quit();
        return;
    }
    loggedIn = true;
    // A step that fails shows its error; the steps after it still run.
    const std::function<void()> steps[] = {
        [this] { customers->LoadTree(); },
        [this] { notebook->LoadTree(); },
        [this] { customers->FillSearchFields(); },
        [this] { customers->LoadCustomerList(); },
        [this] { alamTab->LoadList(FilterAll); },
        [this] {
            chk1->setChecked(IsRunAtStartup(AppTitle(), QCoreApplication::applicationFilePath()));
        },
        [this] { placeBottomButtons(); },
        [this] { notebook->ShowRootNote(); },
        // No reminder pops up before the login.
        [this] {
            alamTab->StartDueCheck();
            tmr1->start();
        },
    };
    for (const std::function<void()>& step : steps)
        RunHandled(this, step);
}

bool TFormMain::LogIn() {
    AppConfig().LoadConfig();
    return !AppConfig().bPass ||
           AskPassword(AppConfig().PassWord, QStringLiteral("先输入密码登录软件")) == 1;
}

void TFormMain::placeBottomButtons() {
    const int width = pnlBottom->width();
    btnSystem->move(width - 100, (pnlBottom->height() - btnSystem->height()) / 2);
    chk1->move(width - 180, (pnlBottom->height() - chk1->height()) / 2);
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pnlBottom && event->type() == QEvent::Resize)
        placeBottomButtons();
    return QWidget::eventFilter(watched, event);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}

bool TFormMain::FormCloseQuery() {
    if (SmsGateway().SmsOn && SmsGateway().Busy) {
        ShowInfo(QStringLiteral("正在停止短信发送，请稍等再退出系统..."));
        return false;
    }
    return true;
}

void TFormMain::FormClose() {
    if (closed)
        return;
    closed = true;
    tmrHint->stop();
    tmr1->stop();
    // The pop-ups are windows of their own: left open they would keep the program running.
    CloseAlamPopups();
    customers->FreeTree();
    notebook->FreeTree();
    SmsGateway().DisconnectModem();
    DbAccess().Disconnect();
    CompactDataFile(AppDir() + "bookkeep.dat", kDatabasePassword);
    QCoreApplication::quit();
}

void TFormMain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnSystemClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFormMain::customEvent(QEvent* event) {
    if (event->type() == WM_FIELDS_CHANGED) {
        btnQueryClick();
        return;
    }
    if (alamTab->HandleAlamMessage(event))
        return;
    QWidget::customEvent(event);
}

void TFormMain::btnSystemClick() {
    pmSystem->popup(QCursor::pos());
}

void TFormMain::chk1Click() {
    SetRunAtStartup(AppTitle(), QCoreApplication::applicationFilePath(), chk1->isChecked());
}

void TFormMain::N15Click() {
    ShowConfigDialog();
}

void TFormMain::NOpenWWW1Click() {
    OpenWithShell(this, HomePageAddress());
}

void TFormMain::btnQueryClick() {
    customers->btnQueryClick();
    emit CustomerListReloaded();
}

QString TFormMain::HintText() const {
    return statHintPanel->text();
}

void TFormMain::tmrHintTimer() {
    showHint(hint->Tick());
}

void TFormMain::showHint(const QString& text) {
    statHintPanel->setText(text);
    stat2Panel->setText(text);
}
