#include "maintenance/DataMaintenance.h"

#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "data/Log.h"

QString SafetyCopyPath() {
    return AppDir() + "tmpData.dat";
}

void TakeSafetyCopy() {
    BackupDatabase(SafetyCopyPath());
}

QString BackupFileName(const QString& chosen) {
    return chosen + ".dat";
}

void BackupData(const QString& chosen) {
    BackupDatabase(BackupFileName(chosen));
}

void RestoreData(const QString& path) {
    // The chosen file is read before the safety copy is taken: it may be the safety copy.
    RestoreDatabase(path, TakeSafetyCopy);
    WriteLog(QStringLiteral("数据恢复！"));
}

void ClearData() {
    TakeSafetyCopy();
    ExecSql(QList<SqlStatement>{
        {"delete from Customer", {}},
        {"delete from ConnFile", {}},
        {"delete from CustomerType", {}},
        {"insert into CustomerType(SelfIndex, ParentIndex, TypeName) values (0, 0, ?)",
         {QStringLiteral("未分组")}}});
    WriteLog(QStringLiteral("系统初始化！"));
}
