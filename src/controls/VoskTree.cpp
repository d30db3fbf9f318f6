#include "controls/VoskTree.h"

#include "data/Exceptions.h"
#include "ui/ExceptionHandler.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

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

void SetIndex(QTreeWidgetItem* node, const TGroupIndex& index) {
    node->setData(0, kSelfIndexRole, index.SelfIndex);
    node->setData(0, kParentIndexRole, index.ParentIndex);
}

} // namespace

TVoskTree::TVoskTree(QTreeWidget* tree, std::unique_ptr<IGroupRows> groups)
    : tree(tree), groups(std::move(groups)) {
    tree->clear();
    const QString rootCaption = this->groups->RootCaption();
    if (rootCaption.isEmpty())
        return;
    rootNode = new QTreeWidgetItem({rootCaption});
    rootNode->setIcon(0, RootIcon());
    SetIndex(rootNode, {});
    tree->addTopLevelItem(rootNode);
}

TVoskTree::~TVoskTree() = default;

TGroupIndex TVoskTree::IndexOf(const QTreeWidgetItem* node) {
    if (!node)
        return {};
    return {node->data(0, kSelfIndexRole).toInt(), node->data(0, kParentIndexRole).toInt()};
}

void TVoskTree::LoadTree() {
    const QList<TGroup> loaded = groups->Load();
    const bool updates = tree->updatesEnabled();
    tree->setUpdatesEnabled(false);
    for (const TGroup& group : loaded) {
        QTreeWidgetItem* parent = FindNode(group.ParentIndex);
        // A row whose parent is missing stands directly under the root.
        AddNode(parent ? parent : rootNode, group);
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

QTreeWidgetItem* TVoskTree::AddNode(QTreeWidgetItem* parent, const TGroup& group) {
    auto* node = new QTreeWidgetItem({group.Name});
    node->setIcon(0, GroupIcon());
    SetIndex(node, {group.SelfIndex, group.ParentIndex});
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
    QTreeWidgetItem* selected = SelectedNode();
    QTreeWidgetItem* parent = selected ? selected : rootNode;
    QTreeWidgetItem* node = AddNode(parent, groups->Add(name, SelectedIndex()));
    if (parent)
        parent->setExpanded(true);
    return node;
}

bool TVoskTree::RenameGroup(const QString& newName) {
    QTreeWidgetItem* selected = SelectedNode();
    groups->Rename(SelectedIndex(), newName);
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
    groups->CheckDeletable(index);
    if (!AskConfirm(QStringLiteral("确定要删除 ") + selected->text(0) +
                    QStringLiteral(" 分组吗？")))
        Abort();
    // Other windows ran while the box was open: the node is looked up again.
    selected = FindNode(index);
    if (!selected)
        Abort();
    groups->Delete(index, groupRows ? groupRows(index) : QList<SqlStatement>());
    delete selected;
    // The control moves the current node to a neighbour; it becomes the selected one.
    if (QTreeWidgetItem* current = tree->currentItem())
        current->setSelected(true);
}

QTreeWidgetItem* TVoskTree::SelectedNode() const {
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

int TVoskTree::SelectedIndex() const {
    return IndexOf(SelectedNode()).SelfIndex;
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
