#include "controls/FormViewCustomerType.h"

#include "controls/VoskTree.h"
#include "ui/ExceptionHandler.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TFormViewCustomerType::TFormViewCustomerType(std::unique_ptr<IGroupRows> groups, QWidget* parent)
    : TFormBaseDlg(parent), tv1(new QTreeWidget(pnlBody)),
      btn1(new QPushButton(QStringLiteral("新建分组"), this)) {
    setWindowTitle(QStringLiteral("选择组"));
    tv1->setHeaderHidden(true);
    tv1->setAccessibleName(QStringLiteral("客户分组"));
    tv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* layout = new QVBoxLayout(pnlBody);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tv1);
    // "新建分组" sits at the left end of the bottom strip, before the stretch.
    layButtons->insertWidget(0, btn1);
    btn1->setAutoDefault(false);
    resize(300, 360);
    Tree = std::make_unique<TVoskTree>(tv1, std::move(groups));
    Tree->LoadTree();
    ConnectHandled(btn1, &QPushButton::clicked, this, &TFormViewCustomerType::btn1Click);
    ConnectHandled(tv1, &QTreeWidget::itemDoubleClicked, this, &TFormViewCustomerType::btnOKClick);
}

TFormViewCustomerType::~TFormViewCustomerType() = default;

void TFormViewCustomerType::btn1Click() {
    Tree->NewGroup();
}

void TFormViewCustomerType::btnOKClick() {
    QTreeWidgetItem* selected = Tree->SelectedNode();
    if (!selected)
        return;
    ChosenIndex = Tree->SelectedIndex();
    ChosenName = selected == Tree->RootNode() ? QStringLiteral("未分组") : selected->text(0);
    accept();
}

bool PickGroup(std::unique_ptr<IGroupRows> groups, int& groupIndex, QString& groupName) {
    TFormViewCustomerType dialog(std::move(groups));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    groupIndex = dialog.ChosenIndex;
    groupName = dialog.ChosenName;
    return true;
}
