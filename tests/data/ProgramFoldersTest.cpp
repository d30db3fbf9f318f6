#include "data/ProgramFolders.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "data/ProgramLock.h"
#include "support/DataFileTest.h"

#include <QDir>
#include <QFile>
#include <gmock/gmock.h>
#include <sys/stat.h>

using ::testing::HasSubstr;

namespace {

mode_t Mode(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// An installed layout under <tmp>/usr as `cmake --install` lays it out, and a home of its own.
class ProgramFoldersTest : public AppDirTest {
protected:
    void SetUp() override {
        AppDirTest::SetUp();
        portable = AppDir();
        prefix = portable + "usr/";
        shipped = prefix + "share/customer-manager/";
        dataHome = portable + "home/.local/share";
        ASSERT_TRUE(QDir().mkpath(prefix + "bin") && QDir().mkpath(shipped));
        ASSERT_TRUE(QFile::copy(TEST_SEED_DATAFILE, shipped + "bookkeep.dat"));
        WriteBytes(shipped + "winsms.ini", "[service]\ntimeout=15\n");
        qputenv("XDG_DATA_HOME", dataHome.toUtf8());
    }

    void TearDown() override {
        UseProgramFolders(ChooseProgramFolders(portable));
        qunsetenv("XDG_DATA_HOME");
        AppDirTest::TearDown();
    }

    // Starts installed as far as the data file: the folder, its lock, the shipped files. Empty
    // when it got there; otherwise what the user is told.
    QString StartInstalled() {
        UseProgramFolders(ChooseProgramFolders(prefix + "bin"));
        if (const QString problem = MakeProgramFolder(); !problem.isEmpty())
            return problem;
        if (!LockProgramFolder())
            return "no lock";
        return CopyShippedFiles();
    }

    QString portable, prefix, shipped, dataHome;
};

TEST_F(ProgramFoldersTest, ADataFileBesideTheExecutableMeansPortable) {
    const TProgramFolders build = ChooseProgramFolders(portable);
    EXPECT_FALSE(build.installed);
    EXPECT_EQ(build.appDir, portable);
    EXPECT_EQ(build.libraryDir, portable + "dll/");

    // Neither beside nor shipped: portable too, and connecting says the file is missing.
    EXPECT_FALSE(ChooseProgramFolders(portable + "home").installed);

    const TProgramFolders installed = ChooseProgramFolders(prefix + "bin");
    EXPECT_TRUE(installed.installed);
    EXPECT_EQ(installed.appDir, dataHome + "/customer-manager/");
    EXPECT_EQ(installed.libraryDir, prefix + "lib/customer-manager/dll/");
    EXPECT_EQ(installed.shippedDir, shipped);

    WriteBytes(prefix + "bin/bookkeep.dat", "");
    EXPECT_FALSE(ChooseProgramFolders(prefix + "bin").installed);
}

TEST_F(ProgramFoldersTest, TheFirstInstalledStartFillsAPrivateFolderOnce) {
    ASSERT_EQ(StartInstalled(), "");
    const QString folder = dataHome + "/customer-manager/";
    EXPECT_EQ(AppDir(), folder);
    EXPECT_EQ(Mode(folder), 0700u);
    EXPECT_EQ(Mode(dataHome), 0700u);
    EXPECT_EQ(Mode(folder + "bookkeep.dat"), 0600u);
    EXPECT_EQ(Mode(folder + "winsms.ini"), 0600u);
    EXPECT_EQ(ReadBytes(folder + "winsms.ini"), "[service]\ntimeout=15\n");
    EXPECT_EQ(SmsLibraryDir(), prefix + "lib/customer-manager/dll/");
    EXPECT_EQ(qEnvironmentVariable(kAccountSettingsVariable), folder + "winsms.ini");
    EXPECT_EQ(QDir(folder).entryList({"~*"}, QDir::Files | QDir::Hidden), QStringList());
    EXPECT_TRUE(DbAccess().Connect());
    DbAccess().Disconnect();

    // The user's own files are never replaced by the shipped ones.
    WriteBytes(folder + "winsms.ini", "[service]\nurl=https://sms.example.com\n");
    ASSERT_EQ(StartInstalled(), "");
    EXPECT_EQ(ReadBytes(folder + "winsms.ini"), "[service]\nurl=https://sms.example.com\n");

    // Back to portable, the libraries and settings are the ones beside the executable.
    UseProgramFolders(ChooseProgramFolders(portable));
    EXPECT_EQ(SmsLibraryDir(), portable + "dll/");
    EXPECT_FALSE(qEnvironmentVariableIsSet(kAccountSettingsVariable));
}

TEST_F(ProgramFoldersTest, AFolderOrFileThatCannotBeMadeIsReportedAndLeavesNothingHalfWritten) {
    const QString folder = dataHome + "/customer-manager/";
    {
        ASSERT_TRUE(QDir().mkpath(dataHome));
        QFile::setPermissions(dataHome, QFile::ReadOwner | QFile::ExeOwner);
        ObeyFilePermissions obey;
        EXPECT_THAT(StartInstalled().toStdString(), HasSubstr("不能建立或写入"));
    }
    EXPECT_FALSE(QFileInfo::exists(folder));

    // There but not writable: said so, not taken for another running copy.
    QFile::setPermissions(dataHome, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    {
        ObeyFilePermissions obey;
        EXPECT_THAT(StartInstalled().toStdString(), HasSubstr("不能建立或写入"));
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QFile::setPermissions(shipped + "bookkeep.dat", QFile::WriteOwner);
    {
        ObeyFilePermissions obey;
        EXPECT_THAT(StartInstalled().toStdString(),
                    HasSubstr(("无法把 " + shipped + "bookkeep.dat 复制到").toStdString()));
    }
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{"customer-manager.lock"});
}

} // namespace
