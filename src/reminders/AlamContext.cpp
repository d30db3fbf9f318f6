#include "reminders/AlamContext.h"

#include "controls/GridBinding.h"
#include "data/DbAccess.h"

TAlamContext& AlamContext() {
    static TAlamContext context;
    return context;
}

void TAlamContext::Add(const QString& remark) {
    Sql = QStringLiteral("insert into AlamContext(Remark) values(?)");
    ExecSql(QList<SqlStatement>{{Sql, {remark}}});
}

void TAlamContext::Update(int id, const QString& remark) {
    Sql = QStringLiteral("update AlamContext set Remark=? where ID=?");
    ExecSql(QList<SqlStatement>{{Sql, {remark, id}}});
}

void TAlamContext::Delete(int id) {
    Sql = QStringLiteral("delete from AlamContext where ID=?");
    ExecSql(QList<SqlStatement>{{Sql, {id}}});
}

void TAlamContext::LoadList(QTreeWidget* listView) {
    Sql = QStringLiteral("select ID,Remark from AlamContext order by ID");
    FillListView(Sql, listView);
}
