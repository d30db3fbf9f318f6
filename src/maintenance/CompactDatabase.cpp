#include "maintenance/CompactDatabase.h"

#include "data/DbAccess.h"
#include "data/Exceptions.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

namespace {

// Writes a compact copy of the database at source into target, an empty file.
void VacuumInto(const QString& source, const QString& target) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(source.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    try {
        if (rc != SQLITE_OK)
            ThrowEngineError(db);
        ExecScript(db, "vacuum into ?", {target});
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    sqlite3_close_v2(db);
}

} // namespace

bool CompactDataFile(const QString& path, const QString& password) {
    Q_UNUSED(password);
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    QTemporaryFile temp(info.absolutePath() + "/~CPXXXXXX.tmp");
    if (!temp.open())
        return false;
    temp.close();
    try {
        VacuumInto(info.absoluteFilePath(), temp.fileName());
        if (!CheckDataFile(temp.fileName()).isEmpty())
            return false;
        temp.setPermissions(info.permissions());
        FlushFileToDisk(temp.fileName());
        ReplaceFileAtomically(temp.fileName(), info.absoluteFilePath());
        temp.setAutoRemove(false);
        return true;
    } catch (const EDBException&) {
        QFile::remove(temp.fileName() + "-journal");
        return false;
    }
}
