#pragma once

#include "data/DataSet.h"

#include <QList>
#include <QString>

// A named group of a tree: its own id and its parent's. The root is 0.
struct TGroup {
    int SelfIndex = 0;
    int ParentIndex = 0;
    QString Name;
};

// The stored groups a group tree shows, with the rules of changing them: what the tree asks of
// the group table behind it.
class IGroupRows {
public:
    virtual ~IGroupRows() = default;

    // The caption of the tree's root; no group may take it as its name.
    virtual QString RootCaption() const = 0;
    // Reads the groups, parents (the lower ids) first.
    virtual QList<TGroup> Load() = 0;
    // Stores a new group under the parent and returns it. Raises "该名称已经存在，请重新输入！"
    // for a name the tree holds already.
    virtual TGroup Add(const QString& name, int parentIndex) = 0;
    // Stores the group's new name, refusing a name the tree holds already as Add does.
    virtual void Rename(int selfIndex, const QString& name) = 0;
    // Stops with "还有下级分组，不能删除该分组！" when the group has subgroups.
    virtual void CheckDeletable(int selfIndex) const = 0;
    // Deletes the group with the rows naming it as parent and the member rows, in one
    // transaction.
    virtual void Delete(int selfIndex, const QList<SqlStatement>& memberRows) = 0;
};
