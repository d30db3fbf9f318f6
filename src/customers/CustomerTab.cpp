#include "customers/CustomerTab.h"

#include "controls/GridBinding.h"
#include "controls/VoskDBGrid.h"
#include "controls/VoskTree.h"
#include "customers/Customer.h"
#include "customers/ExcelExport.h"
#include "customers/FormCustomer.h"
#include "customers/GroupTable.h"
#include "data/DbAccess.h"
#include "sms/FormSendSms.h"
#include "ui/ExceptionHandler.h"
#include "ui/Messages.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QColor kCream(255, 251, 240);

} // namespace

TCustomerTab::TCustomerTab(QTreeWidget* tree, QWidget* parent)
    : QWidget(parent), tv1(tree), DBGrid1(new TVoskDBGrid(this)), stat1(new QStatusBar(this)) {
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setWordWrap(false);
    DBGrid1->SetGridEvenColor(kCream);
    DBGrid1->setToolTip(QStringLiteral("点右键可以新建、修改、删除客户信息和发送短信"));
    DBGrid1->setAccessibleName(QStringLiteral("客户列表"));
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    stat1->setSizeGripEnabled(false);
    stat1->setStyleSheet("QStatusBar { background-color: #fffbf0; }");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(stat1);
    layout->addWidget(CreateSearchBox());

    InstallRenameInPlace(
        tv1, [this](QTreeWidgetItem* node, const QString& text) { tv1Edited(node, text); });
    tv1->setContextMenuPolicy(Qt::CustomContextMenu);
    CreateTreeMenu();
    CreateListMenu();
    connect(tv1, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmCustomerType->popup(tv1->viewport()->mapToGlobal(at)); });
    ConnectHandled(tv1, &QTreeWidget::itemSelectionChanged, this, &TCustomerTab::FollowSelection);
    connect(tv1, &QTreeWidget::itemClicked, this, [this] {
        // A press that selected another group has listed it already.
        if (loads == loadsAtPress)
            RunHandled(this, [this] { tv1Click(); });
    });
    tv1->viewport()->installEventFilter(this);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmCustomer->popup(DBGrid1->viewport()->mapToGlobal(at)); });
    ConnectHandled(DBGrid1, &QAbstractItemView::doubleClicked, this,
                   &TCustomerTab::NModCustomerClick);
}

TCustomerTab::~TCustomerTab() = default;

QWidget* TCustomerTab::CreateSearchBox() {
    auto* box = new QGroupBox(QStringLiteral("快速查找"), this);
    cbbQuery = new QComboBox(box);
    cbbQuery->setEditable(false);
    cbbQuery->setAccessibleName(QStringLiteral("查询项目"));
    edtQuery = new QLineEdit(box);
    edtQuery->setAccessibleName(QStringLiteral("查找内容"));
    btnQuery = new QPushButton(QStringLiteral("查询"), box);
    auto* row = new QHBoxLayout(box);
    row->addWidget(new QLabel(QStringLiteral("查询项目"), box));
    row->addWidget(cbbQuery);
    row->addWidget(new QLabel(QStringLiteral("查找内容"), box));
    row->addWidget(edtQuery, 1);
    row->addWidget(btnQuery);
    ConnectHandled(btnQuery, &QPushButton::clicked, this, &TCustomerTab::btnQueryClick);
    connect(edtQuery, &QLineEdit::returnPressed, btnQuery, &QPushButton::click);
    return box;
}

void TCustomerTab::CreateTreeMenu() {
    pmCustomerType = new QMenu(this);
    NAddIEType = pmCustomerType->addAction(QStringLiteral("新建组"));
    NModIeType = pmCustomerType->addAction(QStringLiteral("重命名组"));
    NDelIEType = pmCustomerType->addAction(QStringLiteral("删除组"));
    pmCustomerType->addSeparator();
    NAddCustomer2 = pmCustomerType->addAction(QStringLiteral("新建客户"));
    ConnectHandled(NAddIEType, &QAction::triggered, this, &TCustomerTab::NAddIETypeClick);
    ConnectHandled(NModIeType, &QAction::triggered, this, &TCustomerTab::NModIeTypeClick);
    ConnectHandled(NDelIEType, &QAction::triggered, this, &TCustomerTab::NDelIETypeClick);
    ConnectHandled(NAddCustomer2, &QAction::triggered, this, &TCustomerTab::NAddCustomerClick);
}

void TCustomerTab::CreateListMenu() {
    pmCustomer = new QMenu(this);
    NAddCustomer = pmCustomer->addAction(QStringLiteral("新建客户"));
    NModCustomer = pmCustomer->addAction(QStringLiteral("修改"));
    N3 = pmCustomer->addAction(QStringLiteral("删除"));
    pmCustomer->addSeparator();
    N9 = pmCustomer->addAction(QStringLiteral("刷新"));
    pmCustomer->addSeparator();
    N7 = pmCustomer->addAction(QStringLiteral("发送短信"));
    pmCustomer->addSeparator();
    Excel1 = pmCustomer->addAction(QStringLiteral("导出Excel"));
    ConnectHandled(NAddCustomer, &QAction::triggered, this, &TCustomerTab::NAddCustomerClick);
    ConnectHandled(NModCustomer, &QAction::triggered, this, &TCustomerTab::NModCustomerClick);
    ConnectHandled(N3, &QAction::triggered, this, &TCustomerTab::N3Click);
    ConnectHandled(N9, &QAction::triggered, this, &TCustomerTab::N9Click);
    ConnectHandled(N7, &QAction::triggered, this, &TCustomerTab::N7Click);
    ConnectHandled(Excel1, &QAction::triggered, this, &TCustomerTab::Excel1Click);
}

// ---- opening and closing ----

void TCustomerTab::CreateTree() {
    CustomerTree = std::make_unique<TVoskTree>(tv1, CustomerGroups());
}

void TCustomerTab::FormShow() {
    LoadTree();
    FillSearchFields();
    LoadCustomerList();
}

void TCustomerTab::LoadTree() {
    CustomerTree->LoadTree();
}

void TCustomerTab::FillSearchFields() {
    cbbQuery->clear();
    cbbQuery->addItems(Customer().ListFieldNames());
    cbbQuery->setCurrentIndex(0);
}

void TCustomerTab::FreeTree() {
    CustomerTree.reset();
    tv1->clear();
}

// ---- the list ----

void TCustomerTab::LoadCustomerList() {
    ++loads;
    listedGroup = CustomerTree ? CustomerTree->SelectedIndex() : 0;
    const SqlStatement list =
        Customer().ListStatement(*listedGroup, cbbQuery->currentText(), edtQuery->text());
    OpenGrid(list.sql, DBGrid1, true, list.params);
    DBGrid1->setColumnHidden(0, true);
    ShowTotals();
}

void TCustomerTab::AddPanel(const QString& text, int width, bool alignRight) {
    auto* panel = new QLabel(text, stat1);
    panel->setFixedWidth(width);
    panel->setAlignment((alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    stat1->addWidget(panel);
    panels << panel;
}

void TCustomerTab::ShowCount() {
    AddPanel(QStringLiteral("客户数量："), 80, true);
    AddPanel(QString::number(List().RecordCount()), 70, false);
}

void TCustomerTab::ShowTotals() {
    qDeleteAll(panels);
    panels.clear();
    ShowCount();
    for (const TFieldTotal& total : Customer().Totals(List())) {
        AddPanel(total.Name + QStringLiteral("："), 80, true);
        AddPanel(total.Amount, 70, false);
    }
}

QStringList TCustomerTab::StatusTexts() const {
    QStringList texts;
    for (const QLabel* panel : panels)
        texts << panel->text();
    return texts;
}

QList<TSmsRecipient> TCustomerTab::ListedCustomersWithNumber() const {
    return Customer().ListedRecipients(List());
}

TDataSet& TCustomerTab::List() const {
    return DbAccess().GridSet();
}

QString TCustomerTab::CurrentGuid() const {
    const TDataSet& list = List();
    return list.IsOpen() && !list.Eof() ? list.AsString(QStringLiteral("GUID")) : QString();
}

// ---- tree commands ----

void TCustomerTab::NAddIETypeClick() {
    if (CustomerTree->NewGroup())
        btnQueryClick();
}

void TCustomerTab::NModIeTypeClick() {
    QTreeWidgetItem* selected = CustomerTree->SelectedNode();
    if (!selected || selected == CustomerTree->RootNode())
        return;
    StartRename(tv1, selected);
}

void TCustomerTab::tv1Edited(QTreeWidgetItem* node, const QString& newText) {
    if (newText == node->text(0))
        return;
    tv1->setCurrentItem(node);
    CustomerTree->RenameGroup(newText);
    RequeryGrid();
}

void TCustomerTab::NDelIETypeClick() {
    if (!CustomerTree->SelectedNode())
        return;
    CustomerTree->DeleteGroup([](int group) { return Customer().DeleteByTypeStatements(group); });
    btnQueryClick();
    ShowInfo(QStringLiteral("删除成功！"));
}

void TCustomerTab::tv1Click() {
    btnQueryClick();
}

void TCustomerTab::FollowSelection() {
    if (CustomerTree && listedGroup != CustomerTree->SelectedIndex())
        LoadCustomerList();
}

bool TCustomerTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tv1->viewport() && event->type() == QEvent::MouseButtonPress)
        loadsAtPress = loads;
    return QWidget::eventFilter(watched, event);
}

// ---- list commands ----

void TCustomerTab::NAddCustomerClick() {
    int group = 0;
    QString name = kUngrouped;
    QTreeWidgetItem* selected = CustomerTree ? CustomerTree->SelectedNode() : nullptr;
    if (selected && selected != CustomerTree->RootNode()) {
        group = CustomerTree->SelectedIndex();
        name = selected->text(0);
    }
    if (ShowAddCustomerDialog(group, name) == 1)
        LoadCustomerList();
}

void TCustomerTab::NModCustomerClick() {
    const QString guid = CurrentGuid();
    if (guid.isEmpty())
        return;
    if (ShowModCustomerDialog(guid) == 1)
        RequeryGrid();
}

void TCustomerTab::N3Click() {
    const QString guid = CurrentGuid();
    if (guid.isEmpty())
        return;
    if (!AskConfirm(QStringLiteral("确实要删除：＂") + List().AsString(QStringLiteral("姓名")) +
                    QStringLiteral("＂吗?")))
        return;
    Customer().DeleteByGuid(guid);
    RequeryGrid();
    ShowInfo(QStringLiteral("删除成功！"));
}

void TCustomerTab::N9Click() {
    RequeryGrid();
}

void TCustomerTab::N7Click() {
    StartSmsSending(QStringLiteral("请在系统设置菜单中选择短信设置，正确设置相关信息！"),
                    [this] { return ListedCustomersWithNumber(); });
}

void TCustomerTab::Excel1Click() {
    ExportGridToExcel(DBGrid1);
}

void TCustomerTab::btnQueryClick() {
    LoadCustomerList();
}
