#include "data/DataFiles.h"

#include "data/DataFileVersion.h"
#include "data/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

const QStringList kTables = {"Customer", "CustomerType", "NoteType",    "NoteBook", "AppTitle",
                             "ConnFile", "Alam",         "AlamContext", "SysSet"};
const char* const kSideFileSuffixes[] = {"-journal", "-wal", "-shm"};
constexpr mode_t kPrivateMode = S_IRUSR | S_IWUSR;
constexpr int kMaxLinkHops = 40;

// Closes the connection it holds when it goes.
struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

[[noreturn]] void ThrowText(const QString& text) {
    throw EDBException(text, QString(), QString());
}

[[noreturn]] void ThrowSystemError() {
    ThrowText(qt_error_string(errno));
}

QByteArray FileName(const QString& path) {
    return QFile::encodeName(path);
}

QString EngineText(sqlite3* db) {
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
}

void OpenDatabase(const QString& path, int flags, Connection& connection) {
    if (sqlite3_open_v2(path.toUtf8(), &connection.db, flags, nullptr) != SQLITE_OK)
        ThrowText(EngineText(connection.db));
}

// Appends the first column of every row of a statement that takes no values; false when the
// engine fails, possibly after some rows.
bool ReadFirstColumn(sqlite3* db, const char* sql, QStringList& values) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        return false;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        values << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE;
}

// A check's report as the reason to show; empty when the check says "ok". A check that stops
// halfway reports what it found and the engine's text.
QString CheckReport(sqlite3* db, const char* pragma) {
    QStringList report;
    if (!ReadFirstColumn(db, pragma, report))
        report << EngineText(db);
    else if (report == QStringList{"ok"})
        return QString();
    return QStringLiteral("数据文件已损坏：") + report.join('\n');
}

} // namespace

QStringList FirstColumn(sqlite3* db, const char* sql) {
    QStringList values;
    if (!ReadFirstColumn(db, sql, values))
        ThrowText(EngineText(db));
    return values;
}

namespace {

void SyncFolder(const QString& folder) {
    const int fd = ::open(FileName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Creates path empty with mode 0600, whatever the umask; an existing file is an error.
void CreatePrivateFile(const QString& path) {
    const int fd =
        ::open(FileName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateMode);
    if (fd < 0)
        ThrowSystemError();
    const bool narrowed = ::fchmod(fd, kPrivateMode) == 0;
    const int savedErrno = errno;
    ::close(fd);
    errno = savedErrno;
    if (!narrowed)
        ThrowSystemError();
}

// A write cut short (the disk filled up) is followed by one for the rest, which fails with
// the system's reason instead of leaving none.
void WriteAll(QFile& file, const QByteArray& bytes) {
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            ThrowText(file.errorString());
        done += written;
    }
}

// The mode a replacement gets: the target's, never wider than owner read and write.
mode_t ReplacementMode(const QString& target) {
    struct stat status {};
    if (::stat(FileName(target).constData(), &status) != 0)
        return kPrivateMode;
    return status.st_mode & kPrivateMode;
}

} // namespace

void CopyBytes(const QString& source, const QString& target) {
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        ThrowText(from.errorString());
    QFile to(target);
    if (!to.open(QIODevice::WriteOnly | QIODevice::Truncate, QFile::ReadOwner | QFile::WriteOwner))
        ThrowText(to.errorString());
    QByteArray chunk;
    while (!(chunk = from.read(1 << 20)).isEmpty())
        WriteAll(to, chunk);
    if (from.error() != QFile::NoError)
        ThrowText(from.errorString());
    if (!to.flush())
        ThrowText(to.errorString());
}

QString ResolveLink(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    // A dangling link: follow it by hand to the file it will create.
    QString current = info.absoluteFilePath();
    for (int hop = 0; hop < kMaxLinkHops && QFileInfo(current).isSymLink(); ++hop)
        current = QFileInfo(current).symLinkTarget();
    return current;
}

QString TFileReplacement::TempPathFor(const QString& path, const QString& tag) {
    const QFileInfo info(ResolveLink(path));
    return info.absolutePath() + '/' + tag + info.fileName() + ".tmp";
}

TFileReplacement::TFileReplacement(const QString& path, const QString& tag)
    : target(ResolveLink(path)), temp(TempPathFor(path, tag)) {
    QFile::remove(temp);
    RemoveSqliteSideFiles(temp);
    CreatePrivateFile(temp);
}

TFileReplacement::~TFileReplacement() {
    if (committed)
        return;
    QFile::remove(temp);
    RemoveSqliteSideFiles(temp);
}

void TFileReplacement::Commit() {
    if (::chmod(FileName(temp).constData(), ReplacementMode(target)) != 0)
        ThrowSystemError();
    FlushFileToDisk(temp);
    if (::rename(FileName(temp).constData(), FileName(target).constData()) != 0)
        ThrowSystemError();
    committed = true;
    RemoveSqliteSideFiles(temp);
    SyncFolder(QFileInfo(target).absolutePath());
}

void RemoveLeftoverTempFiles(const QString& folder) {
    QDir dir(folder);
    QStringList patterns;
    for (const char* tag : {kCompactTag, kBackupTag, kRestoreTag, kSettingsTag, kFirstCopyTag})
        patterns << QString::fromLatin1(tag) + "*.tmp*";
    for (const QString& name : dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
}

void RemoveSqliteSideFiles(const QString& path) {
    for (const char* suffix : kSideFileSuffixes)
        QFile::remove(path + suffix);
}

QString CheckDataFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        return QStringLiteral("文件不存在：") + path;
    try {
        Connection connection;
        OpenDatabase(path, SQLITE_OPEN_READONLY, connection);
        return CheckDataFile(connection.db);
    } catch (const EDBException& error) {
        return error.Message();
    }
}

QString CheckDataFile(sqlite3* db) {
    if (const QString version = DataFileVersionProblem(db); !version.isEmpty())
        return version;
    const QString missing = MissingTables(db);
    return missing.isEmpty() ? CheckReport(db, "pragma integrity_check(20)") : missing;
}

QString MissingTables(sqlite3* db) {
    const QStringList present =
        FirstColumn(db, "select name from sqlite_master where type = 'table'");
    QStringList missing;
    for (const QString& table : kTables)
        if (!present.contains(table, Qt::CaseInsensitive))
            missing << table;
    return missing.isEmpty() ? QString()
                             : QStringLiteral("数据文件缺少数据表：") + missing.join("、");
}

QString QuickCheckProblem(sqlite3* db) {
    return CheckReport(db, "pragma quick_check(20)");
}

void ReadDatabaseInto(const QString& source, const QString& target) {
    if (!QFileInfo(source).isFile())
        ThrowText(QStringLiteral("文件不存在：") + source);
    // SQLite cannot read a file's write-ahead log without writing beside it, so the file and
    // its log or journal are read as they are into the copy, and SQLite recovers them there.
    CopyBytes(source, target);
    for (const char* suffix : {"-wal", "-journal"})
        if (QFileInfo(source + suffix).isFile())
            CopyBytes(source + suffix, target + suffix);
    Connection connection;
    OpenDatabase(target, SQLITE_OPEN_READWRITE, connection);
    FirstColumn(connection.db, "pragma locking_mode = exclusive");
    if (FirstColumn(connection.db, "pragma journal_mode = delete") != QStringList{"delete"})
        ThrowText(QStringLiteral("数据文件的日志模式不能改为回滚日志"));
}

void FlushFileToDisk(const QString& path) {
    const int fd = ::open(FileName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        ThrowSystemError();
    const bool synced = ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    errno = savedErrno;
    if (!synced)
        ThrowSystemError();
}
