#include "customers/Customer.h"

#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "data/Messages.h"

#include <QUuid>

TCustomer& Customer() {
    static TCustomer instance;
    return instance;
}

void TCustomer::ListFieldNames(QStringList& names) const {
    names = QStringList{QStringLiteral("姓名"), QStringLiteral("手机号码")} + TitleNames();
}

void TCustomer::DeleteByGuid(const QString& guid) {
    ExecSql(QList<SqlStatement>{{"delete from Customer where GUID=?", {guid}},
                                {"delete from ConnFile where GUID=?", {guid}}});
    DbAccess().RequeryGrid();
    ShowInfo(QStringLiteral("删除成功！"));
}

QList<SqlStatement> TCustomer::DeleteByTypeStatements(int typeId) const {
    return {
        {"delete from ConnFile where GUID in (select GUID from Customer where TypeID=?)", {typeId}},
        {"delete from Customer where TypeID=?", {typeId}}};
}

void TCustomer::LoadCustomer(const QString& guid) {
    TDataSet& row = DbAccess().OpenQuery(
        "select TypeID, 姓名, 手机号码, 备注 from Customer where GUID=?", {guid});
    const bool found = !row.Eof();
    TypeID = found ? row.AsInteger(0) : 0;
    Name = found ? row.AsString(1) : QString();
    Tel = found ? row.AsString(2) : QString();
    Remark = found ? row.AsString(3) : QString();
    TDataSet& group =
        DbAccess().OpenQuery("select TypeName from CustomerType where Selfindex=?", {TypeID});
    // A customer whose group row is gone is ungrouped, as the list shows it.
    if (group.Eof())
        TypeID = 0;
    TypeName = group.Eof() ? QStringLiteral("未分组") : group.AsString(0);
}

QStringList TitleNames() {
    QStringList names;
    for (TDataSet& rows = DbAccess().OpenQuery("select TitleName from AppTitle"); !rows.Eof();
         rows.Next())
        names << rows.AsString(0);
    return names;
}

QString JoinTitleNames() {
    return TitleNames().join(',');
}

QString NewGuid() {
    const QUuid uuid = QUuid::createUuid();
    if (uuid.isNull())
        Fail(QStringLiteral("生成GUID错误！"));
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}
