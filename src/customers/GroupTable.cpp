#include "customers/GroupTable.h"

#include "data/DbAccess.h"
#include "data/Exceptions.h"

#include <algorithm>

TGroupTable::TGroupTable(const QString& tableName, const QString& memberTable,
                         const QString& rootCaption)
    : tableName(tableName), memberTable(memberTable), rootCaption(rootCaption) {}

QList<TGroup> TGroupTable::Load() {
    QList<TGroup> loaded;
    for (TDataSet& rows =
             DbAccess().OpenQuery("select SelfIndex,ParentIndex,TypeName from " + tableName +
                                  " where SelfIndex <>0 order by SelfIndex asc");
         !rows.Eof(); rows.Next())
        loaded.append({rows.AsInteger(0), rows.AsInteger(1), rows.AsString(2)});
    groups += loaded;
    return loaded;
}

bool TGroupTable::Exists(const QString& name) const {
    return (!rootCaption.isEmpty() && name == rootCaption) ||
           std::any_of(groups.begin(), groups.end(),
                       [&](const TGroup& group) { return group.Name == name; });
}

int TGroupTable::MaxIndex() const {
    int largest = 0;
    for (const TGroup& group : groups)
        largest = std::max(largest, group.SelfIndex);
    return largest;
}

int TGroupTable::LargestStoredIndex() const {
    // Groups stored through another tree (the picker's) since this one was loaded keep their
    // ids, and so do the ids that member rows still name (a group deleted by an older version
    // of the program): the new group would take those rows as its own.
    return ExecScalarSql("select max((select coalesce(max(SelfIndex), 0) from " + tableName +
                         "), (select coalesce(max(TypeID), 0) from " + memberTable + "))");
}

TGroup TGroupTable::Add(const QString& name, int parentIndex) {
    if (Exists(name))
        Fail(QStringLiteral("该名称已经存在，请重新输入！"));
    const TGroup group{std::max(MaxIndex(), LargestStoredIndex()) + 1, parentIndex, name};
    ExecSql(QList<SqlStatement>{
        {"insert into " + tableName + "(SelfIndex,ParentIndex,TypeName) values (?,?,?)",
         {group.SelfIndex, group.ParentIndex, group.Name}}});
    groups.append(group);
    return group;
}

void TGroupTable::Rename(int selfIndex, const QString& name) {
    if (Exists(name))
        Fail(QStringLiteral("该名称已经存在，请重新输入！"));
    ExecSql(QList<SqlStatement>{
        {"update " + tableName + " set TypeName=? where SelfIndex=?", {name, selfIndex}}});
    for (TGroup& group : groups)
        if (group.SelfIndex == selfIndex)
            group.Name = name;
}

void TGroupTable::CheckDeletable(int selfIndex) const {
    // A subgroup stored through another tree is not in this one, but it is a subgroup all the
    // same.
    const bool known = std::any_of(groups.begin(), groups.end(), [&](const TGroup& group) {
        return group.ParentIndex == selfIndex;
    });
    if (known || ExecScalarSql("select count(*) from " + tableName + " where ParentIndex=?",
                               {selfIndex}) > 0)
        Fail(QStringLiteral("还有下级分组，不能删除该分组！"));
}

void TGroupTable::Delete(int selfIndex, const QList<SqlStatement>& memberRows) {
    QList<SqlStatement> batch{{"delete from " + tableName + " where selfIndex=?", {selfIndex}},
                              {"delete from " + tableName + " where ParentIndex=?", {selfIndex}}};
    ExecSql(batch + memberRows);
    groups.removeIf([&](const TGroup& group) { return group.SelfIndex == selfIndex; });
}

std::optional<QString> TGroupTable::StoredName(int selfIndex) const {
    TDataSet& row = DbAccess().OpenQuery("select TypeName from " + tableName + " where Selfindex=?",
                                         {selfIndex});
    if (row.Eof())
        return std::nullopt;
    return row.AsString(0);
}

QList<SqlStatement> TGroupTable::ClearStatements(const QString& rootRowName) const {
    return {{"delete from " + tableName, {}},
            {"insert into " + tableName + "(SelfIndex, ParentIndex, TypeName) values (0, 0, ?)",
             {rootRowName}}};
}

std::unique_ptr<TGroupTable> CustomerGroups() {
    return std::make_unique<TGroupTable>(QStringLiteral("CustomerType"), QStringLiteral("Customer"),
                                         QStringLiteral("全部"));
}
