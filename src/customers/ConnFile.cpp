#include "customers/ConnFile.h"

#include "data/DbAccess.h"
#include "data/Exceptions.h"

#include <QFileInfo>

TConnFile& ConnFile() {
    static TConnFile instance;
    return instance;
}

void TConnFile::Add() {
    ExecSql(QList<SqlStatement>{
        {"insert into ConnFile([GUID],FileName,Remark) values (?,?,?)", {Guid, FileName, Remark}}});
}

void TConnFile::LoadList(const QString& guid, QTreeWidget* listView) {
    FillListView("select ID,FileName as 文件名,Remark as 备注 from ConnFile where [GUID]=?",
                 listView, {guid});
}

void TConnFile::DeleteById(const QString& id) {
    ExecSql(QList<SqlStatement>{{"delete from ConnFile where ID=?", {id.toLongLong()}}});
}

void TConnFile::Load(const QString& id) {
    TDataSet& row = DbAccess().OpenQuery("select * from ConnFile where ID=?", {id.toLongLong()});
    FileName = row.Eof() ? QString() : row.AsString("FileName");
    Remark = row.Eof() ? QString() : row.AsString("Remark");
}

void TConnFile::Update(const QString& id) {
    ExecSql(QList<SqlStatement>{{"update ConnFile set FileName=?,Remark=? where ID=?",
                                 {FileName, Remark, id.toLongLong()}}});
}

void CheckFileExists(const QString& path) {
    if (!QFileInfo(path).isFile())
        Fail(path + QStringLiteral(" 文件不存在！"));
}
