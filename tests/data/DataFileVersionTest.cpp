#include "data/DataFileVersion.h"
#include "data/DataFiles.h"
#include "data/DataSet.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "support/AppDirTest.h"

#include <QDir>
#include <QFile>
#include <gmock/gmock.h>
#include <sqlite3.h>

using ::testing::HasSubstr;

namespace {

// Version 0 to 1: a table; 1 to 2: an index on it.
void AddSample(sqlite3* db) {
    ExecScript(db, "create table Sample (ID integer primary key, Mobile text)");
}
void IndexSample(sqlite3* db) {
    ExecScript(db, "create index SampleMobile on Sample (Mobile)");
}
void FailingStep(sqlite3* db) {
    ExecScript(db, "insert into NoSuchTable values (1)");
}

class DataFileVersionTest : public AppDirTest {
protected:
    void TearDown() override {
        sqlite3_close_v2(db);
        DbAccess().Disconnect();
        AppDirTest::TearDown();
    }

    void Open() {
        sqlite3_close_v2(db);
        db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(dataFile().toUtf8(), &db, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
    }

    // A file as the first version wrote it: no kept messages. Every later step takes its change
    // back out here as well.
    void MakeFirstVersion() {
        Open();
        ExecScript(db, "drop table SmsLog; pragma user_version = 0");
    }

    void SetVersion(int version) {
        Open();
        ExecScript(db, QStringLiteral("pragma user_version = %1").arg(version));
    }

    QStringList Tables(const QString& path, const QString& pattern = "Sample%") {
        sqlite3* other = nullptr;
        sqlite3_open_v2(path.toUtf8(), &other, SQLITE_OPEN_READONLY, nullptr);
        QStringList names;
        TStatement statement;
        int offset = 0;
        const QByteArray sql = "select name from sqlite_master where name like ?";
        if (statement.PrepareNext(other, sql, offset) && statement.BindFrom({pattern}, 0) >= 0)
            while (statement.Step())
                names << statement.Column(0).toString();
        sqlite3_close_v2(other);
        return names;
    }

    QStringList Backups() const { return QDir(appDir()).entryList({"bookkeep-v*.dat"}); }

    sqlite3* db = nullptr;
};

TEST_F(DataFileVersionTest, TheShippedFileIsOfTheKnownVersionAndOpensAsItIs) {
    Open();
    EXPECT_EQ(DataFileVersion(db), KnownDataFileVersion());
    EXPECT_EQ(DataFileVersionProblem(db), "");
    const QByteArray bytes = ReadBytes(dataFile());
    UpgradeDataFile(db, dataFile());
    EXPECT_EQ(ReadBytes(dataFile()), bytes);
    EXPECT_TRUE(DbAccess().Connect());
    EXPECT_TRUE(Backups().isEmpty());
}

TEST_F(DataFileVersionTest, AnOlderFileIsCopiedBesideThenGetsTheMissingStepsOnly) {
    clock.now = QDateTime(QDate(2025, 3, 7), QTime(9, 5, 30));
    MakeFirstVersion();
    UpgradeDataFile(db, dataFile(), {AddSample, IndexSample});
    EXPECT_EQ(DataFileVersion(db), 2);
    EXPECT_EQ(Tables(dataFile()), (QStringList{"Sample", "SampleMobile"}));
    const QString backup = appDir() + "bookkeep-v0-20250307090530.dat";
    ASSERT_EQ(Backups(), QStringList{QFileInfo(backup).fileName()});
    EXPECT_EQ(QFile::permissions(backup),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_TRUE(Tables(backup).isEmpty());

    // A file at version 1 already has the table: only the index is added.
    QFile::remove(backup);
    ExecScript(db, "drop index SampleMobile; pragma user_version = 1");
    UpgradeDataFile(db, dataFile(), {AddSample, IndexSample});
    EXPECT_EQ(DataFileVersion(db), 2);
    EXPECT_EQ(Tables(dataFile()), (QStringList{"Sample", "SampleMobile"}));
    EXPECT_EQ(Backups(), QStringList{"bookkeep-v1-20250307090530.dat"});
}

TEST_F(DataFileVersionTest, AFailingStepLeavesTheFileWholeAtItsOldVersion) {
    MakeFirstVersion();
    EXPECT_THROW(UpgradeDataFile(db, dataFile(), {AddSample, FailingStep}), EDBException);
    EXPECT_TRUE(sqlite3_get_autocommit(db));
    EXPECT_EQ(DataFileVersion(db), 0);
    EXPECT_TRUE(Tables(dataFile()).isEmpty());
    EXPECT_EQ(Backups().size(), 1);
    sqlite3_close_v2(db);
    db = nullptr;
    EXPECT_TRUE(DbAccess().Connect());
}

TEST_F(DataFileVersionTest, ANewerFileIsRefusedAndLeftUntouched) {
    for (int version : {-1, KnownDataFileVersion() + 1}) {
        SetVersion(version);
        sqlite3_close_v2(db);
        db = nullptr;
        const QByteArray bytes = ReadBytes(dataFile());
        const TConnectOutcome outcome = DbAccess().Connect();
        EXPECT_FALSE(outcome);
        EXPECT_THAT(outcome.reason.toStdString(),
                    HasSubstr(QStringLiteral("数据文件的版本（%1）").arg(version).toStdString()));
        EXPECT_EQ(ReadBytes(dataFile()), bytes);
        EXPECT_TRUE(Backups().isEmpty());
    }

    // Nor does a newer file come in by a restore.
    const QString newer = appDir() + "newer.dat";
    ASSERT_TRUE(QFile::rename(dataFile(), newer));
    ASSERT_TRUE(QFile::copy(TEST_SEED_DATAFILE, dataFile()));
    QFile::setPermissions(dataFile(), QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(DbAccess().Connect());
    const QByteArray current = ReadBytes(dataFile());
    EXPECT_THROW(RestoreDatabase(newer), EDBException);
    EXPECT_EQ(ReadBytes(dataFile()), current);
}

// The layout of the kept messages as sqlite_master holds it.
QStringList SmsLogLayout(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    QStringList layout;
    TStatement statement;
    int offset = 0;
    if (statement.PrepareNext(db,
                              "select type, name, sql from sqlite_master "
                              "where tbl_name = 'SmsLog' order by name",
                              offset))
        while (statement.Step())
            layout << statement.Column(0).toString() + ' ' + statement.Column(1).toString() + ' ' +
                          statement.Column(2).toString();
    sqlite3_close_v2(db);
    return layout;
}

TEST_F(DataFileVersionTest, AFirstVersionFileGetsTheMessageTableAsAFreshFileHasItAndKeepsItsRows) {
    const QStringList fresh = SmsLogLayout(dataFile());
    ASSERT_EQ(fresh.size(), 4);
    MakeFirstVersion();
    ExecScript(db, "insert into Customer (GUID, 姓名, 手机号码) values (?, ?, ?), (?, ?, ?)",
               {"G1", "张三", "13800000001", "G2", "李'四", "13800000002"});
    ExecScript(db, "insert into NoteBook (TypeID, ReMark) values (0, ?)", {"记事@#@\n第二行"});
    ExecScript(db, "insert into Alam (iHour, iMinute, ReMark) values (9, 30, ?)", {"开会"});
    sqlite3_close_v2(db);
    db = nullptr;
    ASSERT_TRUE(SmsLogLayout(dataFile()).isEmpty());

    ASSERT_TRUE(DbAccess().Connect());
    EXPECT_EQ(SmsLogLayout(dataFile()), fresh);
    Open();
    EXPECT_EQ(DataFileVersion(db), KnownDataFileVersion());
    EXPECT_EQ(FirstColumn(db, "select 姓名 || 手机号码 from Customer order by GUID"),
              (QStringList{"张三13800000001", "李'四13800000002"}));
    EXPECT_EQ(FirstColumn(db, "select ReMark from NoteBook"), QStringList{"记事@#@\n第二行"});
    EXPECT_EQ(FirstColumn(db, "select ReMark from Alam"), QStringList{"开会"});
    EXPECT_EQ(Backups().size(), 1);
}

} // namespace
