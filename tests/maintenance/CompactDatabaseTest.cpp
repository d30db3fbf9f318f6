#include "maintenance/CompactDatabase.h"
#include "data/DataFiles.h"
#include "data/DbAccess.h"
#include "support/DataFileTest.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class CompactDatabaseTest : public AppDirTest {
protected:
    void TearDown() override {
        DbAccess().Disconnect();
        AppDirTest::TearDown();
    }

    QStringList TempFiles(const QString& folder) {
        return QDir(folder).entryList({"~*"}, QDir::Files | QDir::Hidden);
    }

    void ExpectCompactionRefused(const QString& path) {
        const bool existed = QFile::exists(path);
        const QByteArray before = ReadBytes(path);
        EXPECT_FALSE(CompactDataFile(path, kDatabasePassword));
        EXPECT_EQ(QFile::exists(path), existed);
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_TRUE(TempFiles(QFileInfo(path).absolutePath()).isEmpty());
    }
};

TEST_F(CompactDatabaseTest, ShrinksTheFileAndKeepsTheData) {
    ASSERT_TRUE(DbAccess().Connect());
    QList<SqlStatement> inserts;
    for (int i = 0; i < 500; ++i)
        inserts.append({"insert into Customer([GUID], 姓名, 备注) values (?, ?, ?)",
                        {QString::number(i), "客户", QString(500, 'r')}});
    ExecSql(inserts);
    ExecSql("delete from Customer where cast([GUID] as integer) >= 3");
    DbAccess().Disconnect();
    const qint64 before = QFileInfo(dataFile()).size();
    // What a killed run left: an old copy at the temporary name and a stale log of the file.
    for (const char* name : {"~CPbookkeep.dat.tmp", "bookkeep.dat-wal", "bookkeep.dat-shm"}) {
        QFile leftover(appDir() + QString::fromUtf8(name));
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
        leftover.write(QByteArray(5000, 'x'));
    }

    EXPECT_TRUE(CompactDataFile(dataFile(), kDatabasePassword));
    EXPECT_LT(QFileInfo(dataFile()).size(), before / 4);
    EXPECT_TRUE(TempFiles(appDir()).isEmpty());
    EXPECT_FALSE(QFile::exists(dataFile() + "-wal"));
    EXPECT_FALSE(QFile::exists(dataFile() + "-shm"));
    EXPECT_TRUE(CheckDataFile(dataFile()).isEmpty());
    ASSERT_TRUE(DbAccess().Connect());
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer where 姓名 = '客户'"), 3);
    EXPECT_EQ(ExecScalarSql("select count(*) from SysSet"), 1);
}

TEST_F(CompactDatabaseTest, AFailureLeavesTheFileAsItWas) {
    ExpectCompactionRefused(appDir() + "missing.dat");

    const QString garbage = appDir() + "garbage.dat";
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(10000, 'z'));
    file.close();
    ExpectCompactionRefused(garbage);

    QFile::setPermissions(appDir(), QFile::ReadOwner | QFile::ExeOwner);
    {
        const ObeyFilePermissions permissions;
        ExpectCompactionRefused(dataFile());
    }
    QFile::setPermissions(appDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_TRUE(DbAccess().Connect());
    QList<SqlStatement> inserts;
    for (int i = 0; i < 400; ++i)
        inserts.append({"insert into Customer([GUID], 备注) values (?, ?)",
                        {QString::number(i), QString(300, 'r')}});
    ExecSql(inserts);
    DbAccess().Disconnect();
    QByteArray damaged = ReadBytes(dataFile());
    ASSERT_GT(damaged.size(), 4096 * 8);
    damaged.replace(4096 * 3, 4096 * 3, QByteArray(4096 * 3, 'Z'));
    QFile data(dataFile());
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write(damaged);
    data.close();
    ExpectCompactionRefused(dataFile());
}

} // namespace
