#include "app/FormMain.h"
#include "app/StartUp.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "data/ProgramLock.h"
#include "maintenance/CompactDatabase.h"
#include "support/DataFileTest.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

class SingleCopyTest : public AppDirTest {
protected:
    void TearDown() override {
        holder.kill();
        holder.waitForFinished();
        DbAccess().Disconnect();
        AppDirTest::TearDown();
    }

    // Another copy of the program starts in the same folder and holds its lock.
    void StartOtherCopy() {
        UnlockProgramFolder();
        holder.start(LOCK_HOLDER, {appDir()});
        ASSERT_TRUE(holder.waitForReadyRead(10000));
        ASSERT_EQ(holder.readLine().trimmed(), "locked");
    }

    QProcess holder;
};

TEST_F(SingleCopyTest, ASecondCopyLeavesTheDataAloneUntilTheFirstIsGone) {
    const QString backup = appDir() + "backup.dat";
    ASSERT_TRUE(QFile::copy(dataFile(), backup));
    StartOtherCopy();
    const QByteArray data = ReadBytes(dataFile());
    const QStringList files = QDir(appDir()).entryList(QDir::Files | QDir::Hidden);

    EXPECT_EQ(CreateMainWindow(), nullptr);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.Last().caption, "提示");
    EXPECT_EQ(boxes.Last().text, "程序已经在运行！");
    EXPECT_FALSE(DbAccess().Connected());
    EXPECT_FALSE(CompactDataFile(dataFile(), kDatabasePassword));
    EXPECT_THROW(RestoreDatabase(backup), EDBException);
    EXPECT_EQ(ReadBytes(dataFile()), data);
    EXPECT_EQ(QDir(appDir()).entryList(QDir::Files | QDir::Hidden), files);

    // Killed, the other copy leaves its lock file behind; it no longer counts.
    holder.kill();
    ASSERT_TRUE(holder.waitForFinished());
    EXPECT_TRUE(QFile::exists(ProgramLockPath()));
    std::unique_ptr<TFormMain> form = CreateMainWindow();
    EXPECT_NE(form, nullptr);
    EXPECT_TRUE(ProgramFolderLocked());
    EXPECT_TRUE(DbAccess().Connected());
}

TEST_F(SingleCopyTest, ALockFileThatCannotBeWrittenIsNotTakenForASecondCopy) {
    const QString lockFailed = "不能在程序文件夹中建立锁文件，程序不能启动！\n详细信息：";
    UnlockProgramFolder();
    ASSERT_TRUE(QFile::setPermissions(appDir(), QFile::ReadOwner | QFile::ExeOwner));
    {
        const ObeyFilePermissions obey;
        EXPECT_EQ(CreateMainWindow(), nullptr);
    }
    QFile::setPermissions(appDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(boxes.Last().caption, "错误");
    EXPECT_EQ(boxes.Last().text, lockFailed + "没有写入权限或磁盘是只读的。Permission denied（" +
                                     ProgramLockPath() + "）");

    SmallDisk disk(400);
    if (!disk.Mounted())
        GTEST_SKIP() << "a full disk is a tmpfs, which only root can mount";
    SetAppDir(disk.Folder());
    ASSERT_TRUE(QFile::copy(TEST_SEED_DATAFILE, dataFile()));
    disk.Fill();
    EXPECT_EQ(CreateMainWindow(), nullptr);
    EXPECT_EQ(boxes.Last().text,
              lockFailed + "磁盘空间已满。No space left on device（" + ProgramLockPath() + "）");
    EXPECT_FALSE(DbAccess().Connected());
}

TEST_F(SingleCopyTest, StartUpRemovesTheCopiesAKilledRunLeftBehind) {
    const QStringList leftovers = {"~CPbookkeep.dat.tmp", "~CPbookkeep.dat.tmp-journal",
                                   "~RSbookkeep.dat.tmp", "~RSbookkeep.dat.tmp-wal",
                                   "~BKtmpData.dat.tmp",  "~BKtmpData.dat.tmp-journal",
                                   "~CPa1B2c3.tmp"};
    const QStringList kept = {"~notes.txt", "mine.tmp", "tmpData.dat"};
    for (const QString& name : leftovers + kept)
        WriteBytes(appDir() + name, "a copy of the data");

    std::unique_ptr<TFormMain> form = CreateMainWindow();
    ASSERT_NE(form, nullptr);
    for (const QString& name : leftovers)
        EXPECT_FALSE(QFile::exists(appDir() + name)) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(QFile::exists(appDir() + name)) << name.toStdString();
}

} // namespace
