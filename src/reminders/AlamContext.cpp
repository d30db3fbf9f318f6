#include "reminders/AlamContext.h"

#include "data/DbAccess.h"

TAlamContext& AlamContext() {
    static TAlamContext context;
    return context;
}

void TAlamContext::Add() {
    Sql = QStringLiteral("insert into AlamContext(Remark) values(?)");
    ExecSql(QList<SqlStatement>{{Sql, {Remark}}});
}

void TAlamContext::Update(int id) {
    Sql = QStringLiteral("update AlamContext set Remark=? where ID=?");
    ExecSql(QList<SqlStatement>{{Sql, {Remark, id}}});
}

void TAlamContext::Delete(int id) {
    Sql = QStringLiteral("delete from AlamContext where ID=?");
    ExecSql(QList<SqlStatement>{{Sql, {id}}});
}

void TAlamContext::LoadList(QTreeWidget* listView) {
    Sql = QStringLiteral("select ID,Remark from AlamContext order by ID");
    FillListView(Sql, listView);
}
