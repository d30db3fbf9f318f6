#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// Files that hold the shop's data: the data file, backups, the safety copy. Every failure
// raises EDBException carrying the system's or the engine's text only; the caller adds the
// sentence for the user.

// The file a path names once symbolic links are followed; the path itself when it is no link.
QString ResolveLink(const QString& path);

// The one way the program replaces a file. The temporary file has a fixed name beside the real
// target (a link is resolved first and stays a link), "<folder>/<tag><name>.tmp", so a copy
// left by a killed run is simply replaced by the next one. It is created empty with mode 0600;
// Commit flushes it, gives it the target's mode without ever widening it (0600 at most), renames
// it over the target and flushes the folder. Destroyed uncommitted, it removes the temporary
// file and the side files SQLite may have left beside it.
class TFileReplacement {
public:
    TFileReplacement(const QString& target, const QString& tag);
    ~TFileReplacement();
    TFileReplacement(const TFileReplacement&) = delete;
    TFileReplacement& operator=(const TFileReplacement&) = delete;

    // The temporary file a replacement of path uses; a file there is removed when it starts.
    static QString TempPathFor(const QString& path, const QString& tag);

    const QString& Target() const { return target; }
    const QString& TempPath() const { return temp; }
    void Commit();

private:
    QString target;
    QString temp;
    bool committed = false;
};

// The tags of the operations that replace files.
inline constexpr char kCompactTag[] = "~CP";
inline constexpr char kBackupTag[] = "~BK";
inline constexpr char kRestoreTag[] = "~RS";
inline constexpr char kSettingsTag[] = "~ST";
inline constexpr char kFirstCopyTag[] = "~FC";

// Removes the temporary files (with their SQLite side files) that a killed compaction, backup,
// restore, settings save or first copy of the shipped files left in the folder.
void RemoveLeftoverTempFiles(const QString& folder);
// Removes the rollback journal, write-ahead log and shared-memory file of a database file.
void RemoveSqliteSideFiles(const QString& path);

// Problems of a data file as the reason to show; empty when it is of a version the program
// knows, holds the nine tables and passes the integrity check.
QString CheckDataFile(const QString& path);
QString CheckDataFile(sqlite3* db);
// The tables of the data file that are not there, as the reason to show.
QString MissingTables(sqlite3* db);
// What the quick structural check finds wrong, as the reason to show; empty for a sound file.
QString QuickCheckProblem(sqlite3* db);

// The first column of every row of a statement that takes no values.
QStringList FirstColumn(sqlite3* db, const char* sql);

// Reads the database at source through SQLite into target (an empty file): rows still in its
// write-ahead log come along, a hot journal is rolled back, and nothing is written beside
// source. The copy uses the rollback journal.
void ReadDatabaseInto(const QString& source, const QString& target);

// Writes the bytes of source into target, an existing file, and flushes them to the system.
void CopyBytes(const QString& source, const QString& target);

// Writes the file's data to disk.
void FlushFileToDisk(const QString& path);
