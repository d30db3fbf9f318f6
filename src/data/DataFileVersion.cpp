#include "data/DataFileVersion.h"

#include "data/Clock.h"
#include "data/DataFiles.h"
#include "data/DataSet.h"
#include "data/Exceptions.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace {

// Version 0 to 1: the kept short messages. The same statements stand in schema/bookkeep.sql,
// so an upgraded file and a fresh one have the same layout.
void AddSmsLog(sqlite3* db) {
    ExecScript(db, "CREATE TABLE SmsLog (\n"
                   "    ID           INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                   "    BatchID      INTEGER NOT NULL,\n"
                   "    SendTime     TEXT    NOT NULL,\n"
                   "    GUID         TEXT    CHECK (length(GUID) <= 36),\n"
                   "    Name         TEXT,\n"
                   "    Mobile       TEXT,\n"
                   "    Message      TEXT,\n"
                   "    Way          INTEGER NOT NULL CHECK (Way IN (0, 1)),\n"
                   "    Outcome      INTEGER NOT NULL DEFAULT 0 CHECK (Outcome BETWEEN 0 AND 2),\n"
                   "    Result       TEXT,\n"
                   "    Reply        TEXT,\n"
                   "    Delivery     INTEGER NOT NULL DEFAULT 0 CHECK (Delivery BETWEEN 0 AND 4),\n"
                   "    DeliveryTime TEXT,\n"
                   "    Refs         TEXT,\n"
                   "    PartStates   TEXT\n"
                   ");\n"
                   "CREATE INDEX SmsLogCustomer ON SmsLog (GUID, SendTime);\n"
                   "CREATE INDEX SmsLogSendTime ON SmsLog (SendTime);\n"
                   "CREATE INDEX SmsLogRefs ON SmsLog (ID) WHERE Refs IS NOT NULL;");
}

} // namespace

const TUpgradeSteps& DataFileUpgrades() {
    static const TUpgradeSteps steps = {AddSmsLog};
    return steps;
}

int KnownDataFileVersion(const TUpgradeSteps& steps) {
    return int(steps.size());
}

int DataFileVersion(sqlite3* db) {
    return FirstColumn(db, "pragma user_version").value(0).toInt();
}

QString DataFileVersionProblem(sqlite3* db, const TUpgradeSteps& steps) {
    const int version = DataFileVersion(db);
    const int known = KnownDataFileVersion(steps);
    if (version < 0)
        return QStringLiteral("数据文件的版本（%1）无法识别，数据文件没有改动。").arg(version);
    if (version <= known)
        return QString();
    return QStringLiteral("数据文件的版本（%1）比本程序能打开的版本（%2）新，数据文件没有改动。"
                          "请安装新版本的程序后再打开它。")
        .arg(version)
        .arg(known);
}

namespace {

void BackUpBeforeUpgrade(const QString& path, int version) {
    TFileReplacement replacement(UpgradeBackupPath(path, version), kBackupTag);
    ReadDatabaseInto(path, replacement.TempPath());
    replacement.Commit();
}

void RunSteps(sqlite3* db, const TUpgradeSteps& steps, int from) {
    ExecScript(db, "begin immediate");
    try {
        for (int version = from; version < steps.size(); ++version)
            steps[version](db);
        ExecScript(db, QStringLiteral("pragma user_version = %1").arg(steps.size()));
        ExecScript(db, "commit");
    } catch (...) {
        if (!sqlite3_get_autocommit(db))
            sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace

void UpgradeDataFile(sqlite3* db, const QString& path, const TUpgradeSteps& steps) {
    const int version = DataFileVersion(db);
    if (version >= KnownDataFileVersion(steps))
        return;
    BackUpBeforeUpgrade(path, version);
    RunSteps(db, steps, version);
}

QString UpgradeBackupPath(const QString& path, int version) {
    const QFileInfo info(path);
    return info.absolutePath() + '/' + info.completeBaseName() +
           QStringLiteral("-v%1-").arg(version) + Now().toString("yyyyMMddhhmmss") + ".dat";
}
