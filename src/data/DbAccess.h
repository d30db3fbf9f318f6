#pragma once

#include "data/DataSet.h"
#include "data/DataSetModel.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QTableView;
class QTreeWidget;
struct sqlite3;

// The data file's fixed password. SQLite keeps the file unencrypted; the password is still
// handed to the compaction, which keeps it for the file.
inline constexpr char kDatabasePassword[] = "58203914765210";

// The one connection to AppDir/bookkeep.dat and the four cursors every part of the program
// reads through. Every value reaches SQL as a bound parameter.
class TDbAccess {
public:
    TDbAccess();
    ~TDbAccess();
    TDbAccess(const TDbAccess&) = delete;
    TDbAccess& operator=(const TDbAccess&) = delete;

    // Opens the existing data file (never creates one), switches it to the rollback journal and
    // checks its tables and structure. On failure shows
    // "数据库连接失败！", asks the application to quit and returns false.
    bool Connect();
    bool Connected() const { return db != nullptr; }
    void Disconnect();

    // Closes GridSet and forgets its query; the model every grid of GridSet shows.
    TDataSetModel* GridSource();
    void OpenGrid(const QString& sql, QTableView* grid, bool fit, const SqlParams& params = {});
    // Runs the grid's query again; the grid keeps its column widths and hidden columns and
    // returns to the first row.
    void RequeryGrid();
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
    TDataSetModel gridSource;
    QPointer<QTableView> grid;
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
// "name" with inner quotes doubled: a custom field's name as an SQL identifier.
QString QuoteIdent(const QString& name);

// Sizes the columns of a grid over an open TSortableModel so that their titles and the values of
// their first 50 rows show whole.
void FitColumns(QTableView* grid);
// One item per row of the query: column 0 the first field, further fields further columns.
void FillListView(const QString& sql, QTreeWidget* listView, const SqlParams& params = {});
