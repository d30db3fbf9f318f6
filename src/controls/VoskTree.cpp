#include "customers/GroupTree.h"

#include "data/DbAccess.h"
#include "data/ExceptionHandler.h"
#include "data/Exceptions.h"
#include "data/Messages.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace {

constexpr int kSelfIndexRole = Qt::UserRole;
constexpr int kParentIndexRole = Qt::UserRole + 1;

// Image 0 for the root; image 1 for a group, image 2 while it is selected.
const QIcon& RootIcon() {
    static const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon);
    return icon;
}

const QIcon& GroupIcon() {
    static const QIcon icon = [] {
        QStyle* style = QApplication::style();
        QIcon result;
        for (const QSize& size : {QSize(16, 16), QSize(32, 32)}) {
            result.addPixmap(style->standardIcon(QStyle::SP_DirClosedIcon).pixmap(size),
                             QIcon::Normal);
            result.addPixmap(style->standardIcon(QStyle::SP_DirOpenIcon).pixmap(size),
                             QIcon::Selected);
        }
        return result;
    }();
    return icon;
}

// Hands the text of an in-place edit ended with Enter to the rename command instead of writing it
// into the node.
class TRenameDelegate : public QStyledItemDelegate {
public:
    TRenameDelegate(QTreeWidget* tree, std::function<void(QTreeWidgetItem*, const QString&)> edited)
        : QStyledItemDelegate(tree), tree(tree), edited(std::move(edited)) {}

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        auto* edit = qobject_cast<QLineEdit*>(editor);
        QTreeWidgetItem* node = tree->itemFromIndex(index);
        if (!edit || !node)
            return;
        const QString text = edit->text();
        RunHandled(tree, [&] { edited(node, text); });
    }

private:
    QTreeWidget* tree;
    std::function<void(QTreeWidgetItem*, const QString&)> edited;
};

// The table whose rows name a group of the tree in TypeID.
QString MemberTable(const QString& groupTable) {
    return groupTable.compare(QStringLiteral("NoteType"), Qt::CaseInsensitive) == 0
               ? QStringLiteral("NoteBook")
               : QStringLiteral("Customer");
}

void SetIndex(QTreeWidgetItem* node, const TGroupIndex& index) {
    node->setData(0, kSelfIndexRole, index.SelfIndex);
    node->setData(0, kParentIndexRole, index.ParentIndex);
}

} // namespace

TVoskTree::TVoskTree(QTreeWidget* tree, const QString& tableName, const QString& rootCaption)
    : tree(tree), tableName(tableName) {
    tree->clear();
    if (rootCaption.isEmpty())
        return;
    this->rootCaption = rootCaption;
    rootNode = new QTreeWidgetItem({rootCaption});
    rootNode->setIcon(0, RootIcon());
    SetIndex(rootNode, {});
    tree->addTopLevelItem(rootNode);
}

TGroupIndex TVoskTree::IndexOf(const QTreeWidgetItem* node) {
    if (!node)
        return {};
    return {node->data(0, kSelfIndexRole).toInt(), node->data(0, kParentIndexRole).toInt()};
}

void TVoskTree::LoadTree() {
    TDataSet& rows =
        DbAccess().OpenQuery("select SelfIndex,ParentIndex,TypeName from " + tableName +
                             " where SelfIndex <>0 order by SelfIndex asc");
    const bool updates = tree->updatesEnabled();
    tree->setUpdatesEnabled(false);
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const TGroupIndex index{rows.AsInteger(0), rows.AsInteger(1)};
        QTreeWidgetItem* parent = FindNode(index.ParentIndex);
        // A row whose parent is missing stands directly under the root.
        AddNode(parent ? parent : rootNode, rows.AsString(2), index);
    }
    tree->setUpdatesEnabled(updates);
    if (rootNode)
        rootNode->setExpanded(true);
}

QTreeWidgetItem* TVoskTree::FindNode(int selfIndex) const {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (IndexOf(*it).SelfIndex == selfIndex)
            return *it;
    return nullptr;
}

QTreeWidgetItem* TVoskTree::AddNode(QTreeWidgetItem* parent, const QString& name,
                                    const TGroupIndex& index) {
    auto* node = new QTreeWidgetItem({name});
    node->setIcon(0, GroupIcon());
    SetIndex(node, index);
    if (parent)
        parent->addChild(node);
    else
        tree->addTopLevelItem(node);
    return node;
}

bool TVoskTree::NewGroup() {
    QTreeWidgetItem* selected = SelectedNode();
    if (!selected)
        return false;
    QString name;
    if (!AskGroupName(GroupPath(selected), name))
        return false;
    QTreeWidgetItem* node = AddGroup(name);
    tree->setCurrentItem(node);
    return true;
}

QTreeWidgetItem* TVoskTree::AddGroup(const QString& name) {
    if (NameExists(name))
        Fail(QStringLiteral("该名称已经存在，请重新输入！"));
    QTreeWidgetItem* selected = SelectedNode();
    QTreeWidgetItem* parent = selected ? selected : rootNode;
    // Groups stored through another tree (the picker's) since this one was loaded keep their
    // ids: the new id also clears the largest one in the table.
    const TGroupIndex index{std::max(MaxIndex(), LargestStoredIndex()) + 1, SelectedIndex()};
    ExecSql(QList<SqlStatement>{
        {"insert into " + tableName + "(SelfIndex,ParentIndex,TypeName) values (?,?,?)",
         {index.SelfIndex, index.ParentIndex, name}}});
    QTreeWidgetItem* node = AddNode(parent, name, index);
    if (parent)
        parent->setExpanded(true);
    return node;
}

int TVoskTree::LargestStoredIndex() const {
    // Ids that rows of the member table still name (a group deleted by an older version of the
    // program) are not handed out again: the new group would take those rows as its own.
    return ExecScalarSql("select max((select coalesce(max(SelfIndex), 0) from " + tableName +
                         "), (select coalesce(max(TypeID), 0) from " + MemberTable(tableName) +
                         "))");
}

bool TVoskTree::RenameGroup(const QString& newName) {
    if (NameExists(newName))
        Fail(QStringLiteral("该名称已经存在，请重新输入！"));
    QTreeWidgetItem* selected = SelectedNode();
    ExecSql(QList<SqlStatement>{
        {"update " + tableName + " set TypeName=? where SelfIndex=?", {newName, SelectedIndex()}}});
    if (selected)
        selected->setText(0, newName);
    return true;
}

void TVoskTree::DeleteGroup(const TGroupRows& groupRows) {
    QTreeWidgetItem* selected = SelectedNode();
    if (!selected)
        Fail(QStringLiteral("请选择要删除的分组！"));
    if (selected == rootNode)
        Fail(QStringLiteral("不能删除根分组！"));
    const int index = IndexOf(selected).SelfIndex;
    // A subgroup stored through the picker is not in this tree, but it is a subgroup all the same.
    if (selected->childCount() > 0 ||
        ExecScalarSql("select count(*) from " + tableName + " where ParentIndex=?", {index}) > 0)
        Fail(QStringLiteral("还有下级分组，不能删除该分组！"));
    if (!AskConfirm(QStringLiteral("确定要删除 ") + selected->text(0) +
                    QStringLiteral(" 分组吗？")))
        Abort();
    // Other windows ran while the box was open: the node is looked up again.
    selected = FindNode(index);
    if (!selected)
        Abort();
    QList<SqlStatement> batch{{"delete from " + tableName + " where selfIndex=?", {index}},
                              {"delete from " + tableName + " where ParentIndex=?", {index}}};
    if (groupRows)
        batch += groupRows(index);
    ExecSql(batch);
    delete selected;
    // The control moves the current node to a neighbour; it becomes the selected one.
    if (QTreeWidgetItem* current = tree->currentItem())
        current->setSelected(true);
}

int TVoskTree::MaxIndex() const {
    int largest = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        largest = std::max(largest, IndexOf(*it).SelfIndex);
    return largest;
}

QTreeWidgetItem* TVoskTree::SelectedNode() const {
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

int TVoskTree::SelectedIndex() const {
    return IndexOf(SelectedNode()).SelfIndex;
}

bool TVoskTree::NameExists(const QString& name) const {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0) == name)
            return true;
    return false;
}

QString TVoskTree::GroupPath(const QTreeWidgetItem* node) const {
    QStringList texts;
    for (; node; node = node->parent())
        texts.prepend(node->text(0));
    return texts.join("->");
}

void InstallRenameInPlace(QTreeWidget* tree,
                          std::function<void(QTreeWidgetItem*, const QString&)> edited) {
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setItemDelegate(new TRenameDelegate(tree, std::move(edited)));
    QObject::connect(tree->itemDelegate(), &QAbstractItemDelegate::closeEditor, tree, [tree] {
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            (*it)->setFlags((*it)->flags() & ~Qt::ItemIsEditable);
    });
}

void StartRename(QTreeWidget* tree, QTreeWidgetItem* node) {
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    tree->editItem(node, 0);
}
