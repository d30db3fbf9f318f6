#include "data/DataFiles.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "data/Log.h"
#include "maintenance/CompactDatabase.h"
#include "support/DataFileTest.h"

#include <QDir>
#include <QFile>
#include <gmock/gmock.h>
#include <sqlite3.h>
#include <sys/stat.h>

using ::testing::HasSubstr;

namespace {

void WriteForeignDatabase(const QString& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8(), &db), SQLITE_OK);
    sqlite3_exec(db, "create table Customer(x); create table Other(y)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// A data file whose table pages are overwritten with garbage: it still opens and lists its
// tables, but its data is damaged.
void WriteCorruptDataFile(const QString& source, const QString& path) {
    QByteArray bytes = ReadBytes(source);
    ASSERT_GT(bytes.size(), 4096 * 8);
    for (qsizetype i = 4096 * 3; i < 4096 * 6; ++i)
        bytes[i] = char(0x5A);
    WriteBytes(path, bytes);
}

QStringList TempFiles(const QString& folder) {
    return QDir(folder).entryList({"~*"}, QDir::Files | QDir::Hidden);
}

mode_t Mode(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

void Exec(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

// The file format's byte for the journal: 1 for the rollback journal, 2 for a write-ahead log.
int JournalFormat(const QString& path) {
    return ReadBytes(path).at(18);
}

class ConnectTest : public AppDirTest {
protected:
    void TearDown() override {
        DbAccess().Disconnect();
        AppDirTest::TearDown();
    }

    // The failure says why and shows nothing (start-up tells the user); returns the reason.
    QString ExpectConnectFails() {
        boxes.shown.clear();
        const TConnectOutcome outcome = DbAccess().Connect();
        EXPECT_FALSE(outcome);
        EXPECT_FALSE(DbAccess().Connected());
        EXPECT_FALSE(outcome.reason.isEmpty());
        EXPECT_TRUE(boxes.shown.isEmpty());
        EXPECT_TRUE(QDir(appDir()).entryList({"Log*"}).isEmpty());
        return outcome.reason;
    }
};

TEST_F(ConnectTest, ABadDataFileFailsToConnectAndIsLeftAlone) {
    QFile::remove(dataFile());
    ExpectConnectFails();
    EXPECT_FALSE(QFile::exists(dataFile()));

    WriteBytes(dataFile(), QByteArray(8192, 'x'));
    ExpectConnectFails();
    EXPECT_EQ(ReadBytes(dataFile()), QByteArray(8192, 'x'));

    WriteBytes(dataFile(), QByteArray());
    ExpectConnectFails();
    EXPECT_EQ(QFileInfo(dataFile()).size(), 0);

    QFile::remove(dataFile());
    WriteForeignDatabase(dataFile());
    const QByteArray foreign = ReadBytes(dataFile());
    EXPECT_THAT(ExpectConnectFails().toStdString(), HasSubstr("Alam"));
    EXPECT_EQ(ReadBytes(dataFile()), foreign);
}

TEST_F(ConnectTest, ADamagedDataFileFailsToConnect) {
    const QString sound = appDir() + "sound.dat";
    ASSERT_TRUE(QFile::rename(dataFile(), sound));
    Exec(sound, "create table Filler(x); insert into Filler "
                "select zeroblob(300) from (with recursive n(i) as (select 1 union all "
                "select i + 1 from n where i < 400) select i from n)");
    // The last pages hold only the filler's rows: the tables are all listed, the data is not.
    QByteArray bytes = ReadBytes(sound);
    bytes.replace(bytes.size() - 4096 * 4, 4096 * 3, QByteArray(4096 * 3, 'Z'));
    WriteBytes(dataFile(), bytes);
    EXPECT_THAT(ExpectConnectFails().toStdString(), HasSubstr("数据文件已损坏"));
}

TEST_F(ConnectTest, TheDataFileIsKeptInTheRollbackJournal) {
    Exec(dataFile(), "pragma journal_mode = wal");
    ASSERT_EQ(JournalFormat(dataFile()), 2);
    ASSERT_TRUE(DbAccess().Connect());
    ExecSql("insert into AlamContext(Remark) values ('x')");
    DbAccess().Disconnect();
    EXPECT_EQ(JournalFormat(dataFile()), 1);
    EXPECT_FALSE(QFile::exists(dataFile() + "-wal"));
}

TEST_F(ConnectTest, AWriteProtectedDataFileFailsToConnect) {
    QFile::setPermissions(dataFile(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    {
        const ObeyFilePermissions permissions;
        ExpectConnectFails();
    }
    QFile::setPermissions(dataFile(), QFile::ReadOwner | QFile::WriteOwner);
    boxes.shown.clear();
    EXPECT_TRUE(DbAccess().Connect());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

class BackupRestoreTest : public DataFileTest {
protected:
    void FillSomeData() {
        ExecSql(
            "alter table Customer add 生日 varchar(100)@#@"
            "insert into AppTitle(TitleName, TitleType) values ('生日', 3)@#@"
            "insert into Customer([GUID], 姓名, 生日) values ('1', '张三', '1990-01-01')@#@"
            "insert into CustomerType(SelfIndex, ParentIndex, TypeName) values (1, 0, '老客户')@#@"
            "insert into NoteBook(TypeID, ReMark) values (0, '笔记')@#@"
            "insert into Alam(iHour, iMinute, ReMark) values (8, 0, '提醒')@#@"
            "insert into AlamContext(Remark) values ('预设')@#@"
            "update SysSet set bPass = -1, [PassWord] = 'pw'");
    }

    void FillManyRows() {
        QList<SqlStatement> inserts;
        for (int i = 0; i < 400; ++i)
            inserts.append({"insert into Customer([GUID], 备注) values (?, ?)",
                            {QString::number(i), QString(300, QChar(u'备'))}});
        ExecSql(inserts);
    }

    QString Snapshot() {
        QStringList parts;
        for (const char* sql :
             {"select 姓名 || 生日 from Customer", "select TypeName from CustomerType",
              "select ReMark from NoteBook", "select ReMark from Alam",
              "select Remark from AlamContext", "select TitleName from AppTitle",
              "select bPass || [PassWord] from SysSet"})
            for (TDataSet& rows = DbAccess().OpenQuery(sql); !rows.Eof(); rows.Next())
                parts << rows.AsString(0);
        return parts.join('|');
    }

    void ExpectRestoreRefused(const QString& path) {
        const QByteArray data = ReadBytes(dataFile());
        TDataSet& open = DbAccess().OpenQuery("select 姓名 from Customer");
        try {
            RestoreDatabase(path);
            FAIL() << "restoring " << path.toStdString() << " should fail";
        } catch (const EDBException& error) {
            EXPECT_EQ(error.UserMessage, "数据库恢复失败！");
            EXPECT_FALSE(error.Message().isEmpty());
            EXPECT_TRUE(error.SqlText.isEmpty());
        }
        EXPECT_TRUE(DbAccess().Connected());
        EXPECT_TRUE(open.IsOpen());
        EXPECT_EQ(open.AsString(0), "张三");
        EXPECT_EQ(ReadBytes(dataFile()), data);
        EXPECT_EQ(ExecScalarSql("select count(*) from Customer where 姓名 = '张三'"), 1);
        EXPECT_TRUE(TempFiles(appDir()).isEmpty());
    }
};

TEST_F(BackupRestoreTest, RestoreBringsBackEveryTable) {
    FillSomeData();
    const QString saved = Snapshot();
    const QString backup = appDir() + "backup.dat";
    WriteBytes(backup, "an older backup");
    BackupDatabase(backup);
    EXPECT_TRUE(CheckDataFile(backup).isEmpty());

    ExecSql("delete from Customer@#@delete from CustomerType@#@delete from NoteBook@#@"
            "delete from Alam@#@insert into AlamContext(Remark) values ('新')@#@"
            "alter table Customer drop column 生日@#@delete from AppTitle@#@"
            "update SysSet set bPass = 0");
    RestoreDatabase(backup);
    EXPECT_TRUE(DbAccess().Connected());
    EXPECT_EQ(Snapshot(), saved);
    EXPECT_TRUE(TempFiles(appDir()).isEmpty());
    ExecSql("insert into AlamContext(Remark) values ('after restore')");
}

TEST_F(BackupRestoreTest, ABadFileIsNeverRestored) {
    FillSomeData();
    FillManyRows();
    ExpectRestoreRefused(appDir() + "missing.dat");

    WriteBytes(appDir() + "garbage.dat", QByteArray(20000, 'g'));
    ExpectRestoreRefused(appDir() + "garbage.dat");

    WriteForeignDatabase(appDir() + "foreign.dat");
    ExpectRestoreRefused(appDir() + "foreign.dat");

    BackupDatabase(appDir() + "good.dat");
    WriteCorruptDataFile(appDir() + "good.dat", appDir() + "corrupt.dat");
    ExpectRestoreRefused(appDir() + "corrupt.dat");
}

TEST_F(BackupRestoreTest, AFailedBackupLeavesTheDestinationAlone) {
    FillSomeData();
    try {
        BackupDatabase(appDir() + "no/such/folder/b.dat");
        FAIL() << "the backup should fail";
    } catch (const EDBException& error) {
        EXPECT_EQ(error.UserMessage, "数据库备份失败！");
        EXPECT_FALSE(error.Message().isEmpty());
        EXPECT_TRUE(error.SqlText.isEmpty());
    }

    const QString folder = appDir() + "locked";
    ASSERT_TRUE(QDir().mkdir(folder));
    WriteBytes(folder + "/b.dat", "old backup");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    {
        const ObeyFilePermissions permissions;
        EXPECT_THROW(BackupDatabase(folder + "/b.dat"), EDBException);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(ReadBytes(folder + "/b.dat"), "old backup");
    EXPECT_TRUE(TempFiles(folder).isEmpty());

    EXPECT_THROW(BackupDatabase(dataFile()), EDBException);
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer"), 1);
}

TEST_F(BackupRestoreTest, AWalBackupComesBackWholeAndNothingIsWrittenBesideIt) {
    const QString folder = appDir() + "usb";
    ASSERT_TRUE(QDir().mkdir(folder));
    BackupDatabase(folder + "/live.dat");
    // Copied while its program still had it open: the last rows are only in the log.
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open((folder + "/live.dat").toUtf8(), &writer), SQLITE_OK);
    sqlite3_exec(writer,
                 "pragma journal_mode = wal; pragma wal_autocheckpoint = 0;"
                 "insert into Customer([GUID], 姓名) values ('w1', '日志客户'), ('w2', '日志客户')",
                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(QFile::copy(folder + "/live.dat", folder + "/copy.dat"));
    ASSERT_TRUE(QFile::copy(folder + "/live.dat-wal", folder + "/copy.dat-wal"));
    sqlite3_close(writer);
    ASSERT_TRUE(QFile::remove(folder + "/live.dat"));
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    const QByteArray log = ReadBytes(folder + "/copy.dat-wal");

    RestoreDatabase(folder + "/copy.dat");
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer where 姓名 = ?", {"日志客户"}), 2);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), files);
    EXPECT_EQ(ReadBytes(folder + "/copy.dat-wal"), log);
    EXPECT_TRUE(TempFiles(appDir()).isEmpty());
    DbAccess().Disconnect();
    EXPECT_EQ(JournalFormat(dataFile()), 1);
}

TEST_F(BackupRestoreTest, ALinkedDataFileStaysALinkAndItsTargetIsReplaced) {
    QTemporaryDir synced;
    const QString real = synced.path() + "/bookkeep.dat";
    DbAccess().Disconnect();
    ASSERT_TRUE(QFile::rename(dataFile(), real));
    ASSERT_TRUE(QFile::link(real, dataFile()));
    ASSERT_TRUE(DbAccess().Connect());
    FillSomeData();
    const QString backup = synced.path() + "/backup.dat";
    const QString backupLink = appDir() + "backup.dat";
    ASSERT_TRUE(QFile::link(backup, backupLink));
    BackupDatabase(backupLink);
    EXPECT_TRUE(QFileInfo(backupLink).isSymLink());
    EXPECT_TRUE(CheckDataFile(backup).isEmpty());

    ExecSql("delete from Customer");
    RestoreDatabase(backupLink);
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer"), 1);
    FillManyRows();
    ExecSql("delete from Customer");
    DbAccess().Disconnect();
    const qint64 filled = QFileInfo(real).size();
    EXPECT_TRUE(CompactDataFile(dataFile(), kDatabasePassword));
    EXPECT_LT(QFileInfo(real).size(), filled);
    EXPECT_TRUE(QFileInfo(dataFile()).isSymLink());
    EXPECT_EQ(QFileInfo(dataFile()).symLinkTarget(), real);
    EXPECT_TRUE(TempFiles(synced.path()).isEmpty());
    ASSERT_TRUE(DbAccess().Connect());
    EXPECT_EQ(ExecScalarSql("select count(*) from AlamContext where Remark = '预设'"), 1);
}

TEST_F(BackupRestoreTest, FilesHoldingShopDataAreTheOwnersAlone) {
    const mode_t savedMask = ::umask(0);
    ::chmod(QFile::encodeName(dataFile()), 0644);
    BackupDatabase(appDir() + "new.dat");
    EXPECT_EQ(Mode(appDir() + "new.dat"), 0600u);
    WriteBytes(appDir() + "shared.dat", "old");
    ::chmod(QFile::encodeName(appDir() + "shared.dat"), 0640);
    BackupDatabase(appDir() + "shared.dat");
    EXPECT_EQ(Mode(appDir() + "shared.dat"), 0600u);
    WriteBytes(appDir() + "readonly.dat", "old");
    ::chmod(QFile::encodeName(appDir() + "readonly.dat"), 0444);
    BackupDatabase(appDir() + "readonly.dat");
    EXPECT_EQ(Mode(appDir() + "readonly.dat"), 0400u);
    WriteLog("line");
    EXPECT_EQ(Mode(appDir() + "Log" + clock.now.toString("yyyyMMdd") + ".log"), 0600u);

    RestoreDatabase(appDir() + "new.dat");
    EXPECT_EQ(Mode(dataFile()), 0600u);
    DbAccess().Disconnect();
    ::chmod(QFile::encodeName(dataFile()), 0644);
    EXPECT_TRUE(CompactDataFile(dataFile(), kDatabasePassword));
    EXPECT_EQ(Mode(dataFile()), 0600u);
    ::chmod(QFile::encodeName(dataFile()), 0444);
    EXPECT_TRUE(CompactDataFile(dataFile(), kDatabasePassword));
    EXPECT_EQ(Mode(dataFile()), 0400u);
    ::chmod(QFile::encodeName(dataFile()), 0600);
    ::umask(savedMask);
}

} // namespace
