#include "data/DataFileVersion.h"

#include "data/Clock.h"
#include "data/DataFiles.h"
#include "data/DataSet.h"
#include "data/Exceptions.h"

#include <QFileInfo>

#include <sqlite3.h>

const TUpgradeSteps& DataFileUpgrades() {
    static const TUpgradeSteps steps = {};
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
