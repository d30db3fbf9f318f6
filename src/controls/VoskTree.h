#pragma once

#include "controls/GroupRows.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QTreeWidget;
class QTreeWidgetItem;

// What every node of a group tree carries: its own id and its parent's, from the node's row.
// The root carries 0 and 0.
struct TGroupIndex {
    int SelfIndex = 0;
    int ParentIndex = 0;
};

// The statements that delete the rows filed in a group, given the group's id.
using TGroupRows = std::function<QList<SqlStatement>(int groupIndex)>;

// Binds a tree control to the groups of a group table: loads them, and adds, renames and
// deletes groups in the table and in the control together; nothing reloads the tree.
class TVoskTree {
public:
    // Empties the control and, for a non-empty root caption, adds the root node.
    TVoskTree(QTreeWidget* tree, std::unique_ptr<IGroupRows> groups);
    ~TVoskTree();

    // Fills the tree from the table, parents before children. Run once, right after creation.
    void LoadTree();
    // Asks for a name and adds a group under the selected node, which it then selects. False
    // when nothing is selected or the user cancels.
    bool NewGroup();
    // Stores a new group under the selected node (the root when nothing is selected) and adds
    // its node.
    QTreeWidgetItem* AddGroup(const QString& name);
    // Stores the selected group's new name and shows it.
    bool RenameGroup(const QString& newName);
    // Checks, asks and deletes the selected group with the rows naming it as parent and the
    // rows that groupRows gives for its id (its customers, its note), in one transaction. A
    // declined question ends with the silent abort.
    void DeleteGroup(const TGroupRows& groupRows = {});

    // SelfIndex of the selected node; 0 when nothing is selected and for the root.
    int SelectedIndex() const;
    QTreeWidgetItem* SelectedNode() const;
    // The texts from the root down to the node, joined by "->".
    QString GroupPath(const QTreeWidgetItem* node) const;

    QTreeWidgetItem* RootNode() const { return rootNode; }
    QTreeWidget* Tree() const { return tree; }

    static TGroupIndex IndexOf(const QTreeWidgetItem* node);

private:
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const TGroup& group);
    QTreeWidgetItem* FindNode(int selfIndex) const;

    QTreeWidget* tree;
    std::unique_ptr<IGroupRows> groups;
    QTreeWidgetItem* rootNode = nullptr;
};

// Asks for a new group's name under the given path. True on OK, with the name exactly as typed.
bool AskGroupName(const QString& path, QString& name);

// Lets the user choose a group of the table. True on OK with the group's id and name; the root
// gives 0 and "未分组".
bool PickGroup(std::unique_ptr<IGroupRows> groups, int& groupIndex, QString& groupName);

// Lets the user rename the tree's groups in place, one at a time through StartRename: a name
// ended with Enter goes to edited (under the application's error handler) instead of into the
// node, so the node shows the new name only once it is stored. Esc changes nothing.
void InstallRenameInPlace(QTreeWidget* tree,
                          std::function<void(QTreeWidgetItem*, const QString&)> edited);
// Opens the in-place editor on the node's name; the node is editable only while it is open.
void StartRename(QTreeWidget* tree, QTreeWidgetItem* node);
