#include "maintenance/CompactDatabase.h"

#include "data/DataFiles.h"
#include "data/DataSet.h"
#include "data/Exceptions.h"
#include "data/ProgramLock.h"

#include <QFileInfo>

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
    if (!ProgramFolderLocked() || !QFileInfo(ResolveLink(path)).isFile())
        return false;
    try {
        TFileReplacement replacement(path, kCompactTag);
        VacuumInto(replacement.Target(), replacement.TempPath());
        if (!CheckDataFile(replacement.TempPath()).isEmpty())
            return false;
        replacement.Commit();
        // A log or journal of the file it replaced would be applied to the new file.
        RemoveSqliteSideFiles(replacement.Target());
        return true;
    } catch (const EDBException&) {
        return false;
    }
}
