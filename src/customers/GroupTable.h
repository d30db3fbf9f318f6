#pragma once

#include "controls/GroupRows.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

// The name of group 0 as the customers show it.
inline const QString kUngrouped = QStringLiteral("未分组");

// A table of named groups (SelfIndex, ParentIndex, TypeName) whose member table files its rows
// in a group by TypeID: CustomerType for Customer, NoteType for NoteBook. It keeps the groups of
// one tree, as loaded and as changed through it, for the rules: a name is unique in the tree,
// the root's caption included, letter case counting; a new group's id clears every id of the
// tree, of the table and of the member rows; a group with subgroups is not deleted.
class TGroupTable : public IGroupRows {
public:
    TGroupTable(const QString& tableName, const QString& memberTable, const QString& rootCaption);

    QString RootCaption() const override { return rootCaption; }
    QList<TGroup> Load() override;
    TGroup Add(const QString& name, int parentIndex) override;
    void Rename(int selfIndex, const QString& name) override;
    void CheckDeletable(int selfIndex) const override;
    void Delete(int selfIndex, const QList<SqlStatement>& memberRows) override;

    bool Exists(const QString& name) const;
    // The largest id among the tree's groups; 0 without any.
    int MaxIndex() const;
    // The stored name of the group with that id; none when no row has it.
    std::optional<QString> StoredName(int selfIndex) const;
    // The statements that empty the table and put back the row of group 0 under that name.
    QList<SqlStatement> ClearStatements(const QString& rootRowName) const;

private:
    int LargestStoredIndex() const;

    QString tableName;
    QString memberTable;
    QString rootCaption;
    QList<TGroup> groups;
};

// The customer groups, under the root "全部".
std::unique_ptr<TGroupTable> CustomerGroups();
