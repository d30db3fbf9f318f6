#pragma once

#include "data/DataSet.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct sqlite3;

// The data file's fixed password. SQLite keeps the file unencrypted; the password is still
// handed to the compaction, which keeps it for the file.
inline constexpr char kDatabasePassword[] = "58203914765210";

// Whether the data file was opened, and why not.
struct TConnectOutcome {
    bool connected = false;
    QString reason; // the engine's or the check's text; empty when connected
    explicit operator bool() const { return connected; }
};

// Whatever lives on the grid cursor and must start over whenever it opens, runs again or closes
// (the model every grid shows). The connection keeps one and runs every such change through it.
class TGridCursorWatcher {
public:
    virtual ~TGridCursorWatcher() = default;
    // Runs the change of the grid cursor; keepTitles when it is the same query run again.
    virtual void Reload(const std::function<void()>& change, bool keepTitles) = 0;
};

// The one connection to AppDir/bookkeep.dat and the four cursors every part of the program
// reads through. Every value reaches SQL as a bound parameter.
class TDbAccess {
public:
    TDbAccess();
    ~TDbAccess();
    TDbAccess(const TDbAccess&) = delete;
    TDbAccess& operator=(const TDbAccess&) = delete;

    // Opens the existing data file (never creates one), switches it to the rollback journal and
    // checks its tables and structure. On failure says why and stays disconnected.
    TConnectOutcome Connect();
    bool Connected() const { return db != nullptr; }
    void Disconnect();

    // Runs a change of GridSet (open, requery, close) through its watcher, if one is set.
    void ChangeGridSet(const std::function<void()>& change, bool keepTitles = false);
    // Opens GridSet; a failure leaves it closed.
    void OpenGridSet(const QString& sql, const SqlParams& params = {});
    // Runs GridSet's query again; its failure raises the engine's text alone.
    void RequeryGridSet();
    // The watcher lives as long as the connection object; nullptr until one is set.
    void SetGridWatcher(std::unique_ptr<TGridCursorWatcher> watcher);
    TGridCursorWatcher* GridWatcher() const { return gridWatcher.get(); }
    TDataSet& OpenQuery(const QString& sql, const SqlParams& params = {});
    TDataSet& OpenAuxQuery(const QString& sql, const SqlParams& params = {});
    // Opens a result set of the caller's own on the connection (a window's second grid).
    void OpenSet(TDataSet& set, const QString& sql, const SqlParams& params = {});
    // The first field of the first row as an integer; 0 without a row or for NULL.
    int ExecScalar(const QString& sql, const SqlParams& params = {});

    // Runs every non-blank piece between "@#@" separators in one transaction (a savepoint
    // inside an open transaction). Any failure undoes the whole batch.
    void ExecBatch(const QString& text);
    void ExecBatch(const QList<SqlStatement>& statements);

    // Prepares one statement on the connection, to be bound and run many times (the import's
    // inserts); the caller resets it between runs.
    void Prepare(const QString& sql, TStatement& statement);

    void BeginTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    // A consistent copy of the open data file, put in place atomically.
    void BackupTo(const QString& path);
    // Reads the file through SQLite into a copy beside the data file and checks the copy: a
    // bad file changes nothing. Then beforeReplacing runs (its failure changes nothing either),
    // so it may even overwrite the file just read. A good copy replaces the data file atomically
    // (the file a link points to, when it is one) and the connection opens it. Only while this
    // copy of the program holds the program folder's lock.
    void RestoreFrom(const QString& path, const std::function<void()>& beforeReplacing = {});

    TDataSet& GridSet() { return gridSet; }
    TDataSet& QuerySet() { return querySet; }
    TDataSet& AuxSet() { return auxSet; }
    TDataSet& ScalarSet() { return scalarSet; }

private:
    bool OpenDataFile(QString& reason);
    void CloseCursors();
    TDataSet& OpenCursor(TDataSet& cursor, const QString& sql, const SqlParams& params);
    void RunBatch(const QList<SqlStatement>& statements, const QString& sqlText);
    void ExecControl(const QString& sql);

    sqlite3* db = nullptr;
    TDataSet gridSet;
    TDataSet scalarSet;
    TDataSet querySet;
    TDataSet auxSet;
    std::unique_ptr<TGridCursorWatcher> gridWatcher;
};

TDbAccess& DbAccess();
void DestroyDbAccess();

void ExecSql(const QString& text);
void ExecSql(const QList<SqlStatement>& statements);
int ExecScalarSql(const QString& sql, const SqlParams& params = {});
void BackupDatabase(const QString& path);
void RestoreDatabase(const QString& path, const std::function<void()>& beforeReplacing = {});

// One more piece than there are separators: "" gives [""], a trailing separator an empty last
// piece.
QStringList SplitText(const QString& text, const QString& separator);
