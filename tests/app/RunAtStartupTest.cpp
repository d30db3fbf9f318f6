#include "app/RunAtStartup.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RunAtStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config.isValid());
        saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved); }

    QTemporaryDir config;
    QByteArray saved;
    const QString title = QStringLiteral("客户信息管理管理-禾森软件");
};

} // namespace

TEST_F(RunAtStartupTest, EntryRoundTripsAndIsRemovedWhenSwitchedOff) {
    const QString exe = "/opt/客户 管理/bin/customer-manager";
    EXPECT_FALSE(IsRunAtStartup(title, exe));

    SetRunAtStartup(title, exe, true);
    EXPECT_EQ(AutostartEntryPath(title), config.path() + "/autostart/" + title + ".desktop");
    EXPECT_TRUE(QFile::exists(AutostartEntryPath(title)));
    EXPECT_TRUE(IsRunAtStartup(title, exe));
    // The program was moved: the entry no longer starts it.
    EXPECT_FALSE(IsRunAtStartup(title, "/opt/other/customer-manager"));
    EXPECT_FALSE(IsRunAtStartup(title, "/opt/客户 管理/bin/Customer-Manager"));

    SetRunAtStartup(title, exe, false);
    EXPECT_FALSE(QFile::exists(AutostartEntryPath(title)));
    EXPECT_FALSE(IsRunAtStartup(title, exe));
}

TEST_F(RunAtStartupTest, PathsWithShellAndFieldCharactersSurviveTheExecLine) {
    for (const QString& exe :
         {QString("/tmp/a \"b\" $HOME `x` 100%/c\\d/prog"), QString("/tmp/%f %%/prog"),
          QString("/tmp/line\nbreak\r\n\\n/prog")}) {
        EXPECT_EQ(DecodeExecValue(EncodeExecValue(exe)), exe);
        SetRunAtStartup(title, exe, true);
        EXPECT_TRUE(IsRunAtStartup(title, exe)) << exe.toStdString();
    }
    EXPECT_EQ(EncodeExecValue("/tmp/a b/100%"), "\"/tmp/a b/100%%\"");
    // A line break stays on the Exec line as an escape.
    EXPECT_EQ(EncodeExecValue("/a\nb"), "\"/a\\nb\"");
}

TEST_F(RunAtStartupTest, UnwritableConfigFolderIsSilent) {
    // A file where the autostart folder should be: nothing can be written, nothing is shown.
    QFile blocker(config.path() + "/autostart");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetRunAtStartup(title, "/usr/bin/prog", true);
    EXPECT_FALSE(IsRunAtStartup(title, "/usr/bin/prog"));
}
