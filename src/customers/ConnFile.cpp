#include "customers/ConnFile.h"

#include "controls/GridBinding.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"

#include <QFileInfo>

TConnFile& ConnFile() {
    static TConnFile instance;
    return instance;
}

void TConnFile::Add(const TConnFileEntry& entry) {
    ExecSql(QList<SqlStatement>{{"insert into ConnFile([GUID],FileName,Remark) values (?,?,?)",
                                 {entry.Guid, entry.FileName, entry.Remark}}});
}

void TConnFile::LoadList(const QString& guid, QTreeWidget* listView) {
    FillListView("select ID,FileName as 文件名,Remark as 备注 from ConnFile where [GUID]=?",
                 listView, {guid});
}

void TConnFile::DeleteById(const QString& id) {
    ExecSql(QList<SqlStatement>{{"delete from ConnFile where ID=?", {id.toLongLong()}}});
}

TConnFileEntry TConnFile::Load(const QString& id) const {
    TDataSet& row = DbAccess().OpenQuery("select * from ConnFile where ID=?", {id.toLongLong()});
    if (row.Eof())
        return {};
    return {row.AsString("GUID"), row.AsString("FileName"), row.AsString("Remark")};
}

void TConnFile::Update(const QString& id, const TConnFileEntry& entry) {
    ExecSql(QList<SqlStatement>{{"update ConnFile set FileName=?,Remark=? where ID=?",
                                 {entry.FileName, entry.Remark, id.toLongLong()}}});
}

SqlStatement TConnFile::DeleteByGuidStatement(const QString& guid) const {
    return {"delete from ConnFile where GUID=?", {guid}};
}

SqlStatement TConnFile::DeleteByTypeStatement(int typeId) const {
    return {"delete from ConnFile where GUID in (select GUID from Customer where TypeID=?)",
            {typeId}};
}

SqlStatement TConnFile::DeleteAllStatement() const {
    return {"delete from ConnFile", {}};
}

void CheckFileExists(const QString& path) {
    if (!QFileInfo(path).isFile())
        Fail(path + QStringLiteral(" 文件不存在！"));
}
