#include "customers/FormCustomerDIY.h"

#include "controls/GridBinding.h"
#include "controls/ListViews.h"
#include "customers/FieldControls.h"
#include "customers/FieldDefinitions.h"
#include "customers/FormTitle.h"
#include "data/DbAccess.h"
#include "ui/ExceptionHandler.h"
#include "ui/Messages.h"
#include "ui/WindowMessages.h"
#include "ui/WindowPlacement.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kKindColumn = 1;
constexpr int kFieldAreaWidth = 624;
constexpr int kFieldAreaHeight = 208;

} // namespace

TFormCustomerDIY::TFormCustomerDIY(QWidget* parent)
    : QDialog(parent ? parent : MainWindow(), Qt::Dialog | Qt::CustomizeWindowHint |
                                                  Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lvTitle(new QTreeWidget(this)), pm1(new QMenu(this)) {
    setWindowTitle(QStringLiteral("自定义客户资料"));
    auto* bar = new QHBoxLayout;
    btnButAddTitle = AddButton(QStringLiteral("新建"), &TFormCustomerDIY::btnButAddTitleClick);
    btnButModTitle = AddButton(QStringLiteral("修改"), &TFormCustomerDIY::btnButModTitleClick);
    btnButDelTitle = AddButton(QStringLiteral("删除"), &TFormCustomerDIY::btnButDelTitleClick);
    btnButYL = AddButton(QStringLiteral("预览"), &TFormCustomerDIY::btnButYLClick);
    btnButClose = new QPushButton(QStringLiteral("退出"), this);
    btnButClose->setAutoDefault(false);
    connect(btnButClose, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton* button :
         {btnButAddTitle, btnButModTitle, btnButDelTitle, btnButYL, btnButClose})
        bar->addWidget(button);
    bar->addStretch();

    lvTitle->setHeaderLabels({QStringLiteral("标题名称"), QStringLiteral("类型"),
                              QStringLiteral("默认值"), QStringLiteral("必填"),
                              QStringLiteral("是否唯一")});
    const int widths[] = {120, 80, 150, 60, 70};
    for (int column = 0; column < 5; ++column)
        lvTitle->setColumnWidth(column, widths[column]);
    lvTitle->setRootIsDecorated(false);
    lvTitle->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvTitle->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ShowGridLines(lvTitle);
    lvTitle->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvTitle, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pm1->popup(lvTitle->viewport()->mapToGlobal(at)); });
    ConnectHandled(lvTitle, &QTreeWidget::itemDoubleClicked, this,
                   &TFormCustomerDIY::btnButModTitleClick);
    AddMenuItem(QStringLiteral("新建"), &TFormCustomerDIY::btnButAddTitleClick);
    AddMenuItem(QStringLiteral("修改"), &TFormCustomerDIY::btnButModTitleClick);
    AddMenuItem(QStringLiteral("删除"), &TFormCustomerDIY::btnButDelTitleClick);
    pm1->addSeparator();
    AddMenuItem(QStringLiteral("预览"), &TFormCustomerDIY::btnButYLClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(lvTitle);
    resize(520, 340);
}

QPushButton* TFormCustomerDIY::AddButton(const QString& text, void (TFormCustomerDIY::*command)()) {
    auto* button = new QPushButton(text, this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this,
            [this, command] { RunHandled(this, [this, command] { (this->*command)(); }); });
    return button;
}

void TFormCustomerDIY::AddMenuItem(const QString& text, void (TFormCustomerDIY::*command)()) {
    connect(pm1->addAction(text), &QAction::triggered, this,
            [this, command] { RunHandled(this, [this, command] { (this->*command)(); }); });
}

void TFormCustomerDIY::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOverMainWindow(*this);
    if (firstShow())
        RunHandled(this, [this] { LoadTitleList(); });
}

void TFormCustomerDIY::LoadTitleList() {
    const SqlStatement list = TitleListStatement();
    FillListView(list.sql, lvTitle, list.params);
    for (int row = 0; row < lvTitle->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = lvTitle->topLevelItem(row);
        bool isNumber = false;
        const int kind = item->text(kKindColumn).toInt(&isNumber);
        if (isNumber && !KindName(kind).isEmpty())
            item->setText(kKindColumn, KindName(kind));
    }
}

QTreeWidgetItem* TFormCustomerDIY::SelectedTitle() const {
    const QList<QTreeWidgetItem*> selected = lvTitle->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TFormCustomerDIY::btnButAddTitleClick() {
    if (ShowAddTitleDialog() != 1)
        return;
    Changed = true;
    LoadTitleList();
}

void TFormCustomerDIY::btnButModTitleClick() {
    const QTreeWidgetItem* item = SelectedTitle();
    if (!item || ShowModTitleDialog(item->text(0)) != 1)
        return;
    Changed = true;
    LoadTitleList();
}

void TFormCustomerDIY::btnButDelTitleClick() {
    QTreeWidgetItem* item = SelectedTitle();
    if (!item)
        return;
    const QString name = item->text(0);
    if (!AskConfirm(QStringLiteral("真的删除 %1 标题吗?你做的操作将无法还原！").arg(name)))
        return;
    DropTitle(name);
    delete item;
    Changed = true;
}

void TFormCustomerDIY::btnButYLClick() {
    ShowFieldPreview();
}

void TFormCustomerDIY::done(int result) {
    if (Changed && MainWindow())
        QCoreApplication::postEvent(MainWindow(), new TWindowMessage(WM_FIELDS_CHANGED));
    Changed = false;
    QDialog::done(result);
}

TFormBaseDIY::TFormBaseDIY(QWidget* parent) : TFormBaseDlg(parent), pnlFields(new QWidget) {
    btnOK->hide();
    btnCancel->setText(QStringLiteral("关闭(&C)"));
    auto* area = new QScrollArea(pnlBody);
    area->setWidget(pnlFields);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(false);
    auto* layout = new QVBoxLayout(pnlBody);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    area->setFixedWidth(kFieldAreaWidth);
    BuildFieldControls(pnlFields);
    pnlFields->resize(pnlFields->minimumSize());
    area->setFixedHeight(std::min(pnlFields->height(), kFieldAreaHeight));
}

void ShowCustomerDIYDialog() {
    TFormCustomerDIY dialog;
    dialog.exec();
}

void ShowFieldPreview() {
    TFormBaseDIY dialog;
    dialog.setWindowTitle(QStringLiteral("预览 客户资料"));
    dialog.exec();
}
