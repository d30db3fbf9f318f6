#include "data/DbAccess.h"

#include "data/AppDir.h"
#include "data/DataFileVersion.h"
#include "data/DataFiles.h"
#include "data/Exceptions.h"
#include "data/ProgramLock.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

namespace {

const QString kSeparator = QStringLiteral("@#@");
const QString kQueryFailed = QStringLiteral("数据库查询错误，请检查！");
const QString kOperationFailed = QStringLiteral("数据库操作失败！");
const QString kBackupFailed = QStringLiteral("数据库备份失败！");
const QString kRestoreFailed = QStringLiteral("数据库恢复失败！");
const QString kNotConnected = QStringLiteral("数据库未连接");

[[noreturn]] void ThrowText(const QString& text) {
    throw EDBException(text, QString(), QString());
}

QString DataFilePath() {
    return AppDir() + "bookkeep.dat";
}

QString EngineText(sqlite3* db) {
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
}

// Closes the connection it holds unless it is released.
struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
    sqlite3* Release() { return std::exchange(db, nullptr); }
};

bool SameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// What is wrong with the data file an open connection reaches; empty when it can be used. A
// file of a version the program does not know is left untouched; any other is switched to the
// rollback journal, which also folds a write-ahead log into it.
QString DataFileProblem(sqlite3* db) {
    if (sqlite3_db_readonly(db, "main") == 1)
        return QStringLiteral("数据文件不能写入：") + DataFilePath();
    try {
        if (const QString version = DataFileVersionProblem(db); !version.isEmpty())
            return version;
        if (FirstColumn(db, "pragma journal_mode = delete") != QStringList{"delete"})
            return QStringLiteral("数据文件的日志模式不能改为回滚日志");
        const QString missing = MissingTables(db);
        return missing.isEmpty() ? QuickCheckProblem(db) : missing;
    } catch (const EDBException& error) {
        return error.Message();
    }
}

// Copies the open database into target, an empty file, with SQLite's online backup.
void CopyDatabase(sqlite3* source, const QString& target) {
    Connection out;
    if (sqlite3_open_v2(target.toUtf8(), &out.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        ThrowText(EngineText(out.db));
    sqlite3_backup* backup = sqlite3_backup_init(out.db, "main", source, "main");
    if (!backup)
        ThrowText(EngineText(out.db));
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        ThrowText(QString::fromUtf8(sqlite3_errstr(rc)));
}

bool IsBlank(const QString& piece) {
    for (const QChar ch : piece)
        if (ch > QChar(' ') && !ch.isSpace() && ch.category() != QChar::Other_Control)
            return false;
    return true;
}

std::unique_ptr<TDbAccess>& DbAccessSlot() {
    static std::unique_ptr<TDbAccess> instance;
    return instance;
}

} // namespace

TDbAccess::TDbAccess() = default;

TDbAccess::~TDbAccess() {
    Disconnect();
}

// ---- connection ----

TConnectOutcome TDbAccess::Connect() {
    Disconnect();
    TConnectOutcome outcome;
    outcome.connected = OpenDataFile(outcome.reason);
    return outcome;
}

bool TDbAccess::OpenDataFile(QString& reason) {
    Connection connection;
    if (sqlite3_open_v2(DataFilePath().toUtf8(), &connection.db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        reason = EngineText(connection.db);
        return false;
    }
    sqlite3_busy_timeout(connection.db, 2000);
    reason = DataFileProblem(connection.db);
    if (!reason.isEmpty())
        return false;
    try {
        UpgradeDataFile(connection.db, DataFilePath());
    } catch (const EDBException& error) {
        reason = QStringLiteral("数据文件升级失败：") + error.Message();
        return false;
    }
    db = connection.Release();
    return true;
}

void TDbAccess::Disconnect() {
    CloseCursors();
    if (db)
        sqlite3_close_v2(db);
    db = nullptr;
}

void TDbAccess::CloseCursors() {
    ChangeGridSet([this] { gridSet.Close(); });
    querySet.Close();
    auxSet.Close();
    scalarSet.Close();
}

// ---- cursors ----

void TDbAccess::ChangeGridSet(const std::function<void()>& change, bool keepTitles) {
    if (gridWatcher)
        gridWatcher->Reload(change, keepTitles);
    else
        change();
}

void TDbAccess::OpenGridSet(const QString& sql, const SqlParams& params) {
    try {
        ChangeGridSet([&] { gridSet.Open(db, sql, params); });
    } catch (const EDBException& error) {
        throw EDBException(error.Message(), kQueryFailed, sql);
    }
}

void TDbAccess::RequeryGridSet() {
    try {
        ChangeGridSet([this] { gridSet.Requery(); }, true);
    } catch (const EDBException& error) {
        throw std::runtime_error(error.what());
    }
}

void TDbAccess::SetGridWatcher(std::unique_ptr<TGridCursorWatcher> watcher) {
    gridWatcher = std::move(watcher);
}

TDataSet& TDbAccess::OpenCursor(TDataSet& cursor, const QString& sql, const SqlParams& params) {
    try {
        cursor.Open(db, sql, params);
    } catch (const EDBException& error) {
        throw EDBException(error.Message(), kQueryFailed, sql);
    }
    return cursor;
}

TDataSet& TDbAccess::OpenQuery(const QString& sql, const SqlParams& params) {
    return OpenCursor(querySet, sql, params);
}

void TDbAccess::OpenSet(TDataSet& set, const QString& sql, const SqlParams& params) {
    OpenCursor(set, sql, params);
}

TDataSet& TDbAccess::OpenAuxQuery(const QString& sql, const SqlParams& params) {
    return OpenCursor(auxSet, sql, params);
}

int TDbAccess::ExecScalar(const QString& sql, const SqlParams& params) {
    OpenCursor(scalarSet, sql, params);
    const int value = scalarSet.RecordCount() > 0 ? scalarSet.AsInteger(0) : 0;
    scalarSet.Close();
    return value;
}

// ---- batches and transactions ----

void TDbAccess::ExecBatch(const QString& text) {
    QList<SqlStatement> statements;
    for (const QString& piece : SplitText(text, kSeparator))
        if (!IsBlank(piece))
            statements.append({piece, {}});
    RunBatch(statements, text);
}

void TDbAccess::ExecBatch(const QList<SqlStatement>& statements) {
    QStringList texts;
    for (const SqlStatement& statement : statements)
        texts << statement.sql;
    RunBatch(statements, texts.join(kSeparator));
}

void TDbAccess::RunBatch(const QList<SqlStatement>& statements, const QString& sqlText) {
    try {
        ExecScript(db, "savepoint vosk_batch");
    } catch (const EDBException& error) {
        throw EDBException(error.Message(), kOperationFailed, sqlText);
    }
    try {
        for (const SqlStatement& statement : statements)
            ExecScript(db, statement.sql, statement.params);
        ExecScript(db, "release vosk_batch");
    } catch (const EDBException& error) {
        const QString engineText = error.Message();
        sqlite3_exec(db, "rollback to vosk_batch; release vosk_batch", nullptr, nullptr, nullptr);
        throw EDBException(engineText, kOperationFailed, sqlText);
    }
}

void TDbAccess::ExecControl(const QString& sql) {
    try {
        ExecScript(db, sql);
    } catch (const EDBException& error) {
        throw EDBException(error.Message(), kOperationFailed, sql);
    }
}

void TDbAccess::Prepare(const QString& sql, TStatement& statement) {
    const QByteArray text = sql.toUtf8();
    int offset = 0;
    try {
        if (!statement.PrepareNext(db, text, offset))
            ThrowText(QStringLiteral("语句为空"));
    } catch (const EDBException& error) {
        throw EDBException(error.Message(), kOperationFailed, sql);
    }
}

void TDbAccess::BeginTransaction() {
    ExecControl("begin");
}

void TDbAccess::Commit() {
    ExecControl("commit");
}

void TDbAccess::Rollback() {
    if (InTransaction())
        ExecControl("rollback");
}

bool TDbAccess::InTransaction() const {
    return db && !sqlite3_get_autocommit(db);
}

// ---- backup and restore ----

void TDbAccess::BackupTo(const QString& path) {
    try {
        if (!db)
            ThrowText(kNotConnected);
        if (SameFile(path, DataFilePath()))
            ThrowText(QStringLiteral("不能备份到数据文件本身"));
        TFileReplacement replacement(path, kBackupTag);
        CopyDatabase(db, replacement.TempPath());
        replacement.Commit();
    } catch (const EDBException& error) {
        throw EDBException(error.Message(), kBackupFailed, QString());
    }
}

void TDbAccess::RestoreFrom(const QString& path, const std::function<void()>& beforeReplacing) {
    std::optional<TFileReplacement> replacement;
    try {
        if (!ProgramFolderLocked())
            ThrowText(QStringLiteral("程序文件夹未锁定，不能替换数据文件"));
        if (SameFile(path, TFileReplacement::TempPathFor(DataFilePath(), kRestoreTag)))
            ThrowText(QStringLiteral("不能从恢复时使用的临时文件恢复：") + path);
        replacement.emplace(DataFilePath(), kRestoreTag);
        ReadDatabaseInto(path, replacement->TempPath());
        if (const QString problem = CheckDataFile(replacement->TempPath()); !problem.isEmpty())
            ThrowText(problem);
    } catch (const EDBException& error) {
        throw EDBException(error.Message(), kRestoreFailed, QString());
    }
    if (beforeReplacing)
        beforeReplacing();
    QString failure;
    try {
        Disconnect();
        replacement->Commit();
        RemoveSqliteSideFiles(replacement->Target());
    } catch (const EDBException& error) {
        failure = error.Message();
    }
    QString reason;
    if (!Connected() && !OpenDataFile(reason) && failure.isEmpty())
        failure = reason;
    if (!failure.isEmpty())
        throw EDBException(failure, kRestoreFailed, QString());
}

// ---- the program-wide instance and the shortcuts ----

TDbAccess& DbAccess() {
    std::unique_ptr<TDbAccess>& instance = DbAccessSlot();
    if (!instance)
        instance = std::make_unique<TDbAccess>();
    return *instance;
}

void DestroyDbAccess() {
    try {
        DbAccessSlot().reset();
    } catch (...) {
    }
}

void ExecSql(const QString& text) {
    DbAccess().ExecBatch(text);
}

void ExecSql(const QList<SqlStatement>& statements) {
    DbAccess().ExecBatch(statements);
}

int ExecScalarSql(const QString& sql, const SqlParams& params) {
    return DbAccess().ExecScalar(sql, params);
}

void BackupDatabase(const QString& path) {
    DbAccess().BackupTo(path);
}

void RestoreDatabase(const QString& path, const std::function<void()>& beforeReplacing) {
    DbAccess().RestoreFrom(path, beforeReplacing);
}

QStringList SplitText(const QString& text, const QString& separator) {
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype found; !separator.isEmpty() && (found = text.indexOf(separator, start)) >= 0;
         start = found + separator.size())
        pieces << text.mid(start, found - start);
    pieces << text.mid(start);
    return pieces;
}
