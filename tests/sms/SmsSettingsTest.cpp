#include "sms/SmsSettings.h"
#include "data/AppDir.h"
#include "data/Exceptions.h"
#include "support/AppDirTest.h"
#include "util/HomePage.h"
#include "util/Scramble.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <sys/stat.h>

namespace {

class SmsSettingsTest : public AppDirTest {
protected:
    void SetUp() override {
        AppDirTest::SetUp();
        SmsParams() = TSmsParamet{};
        // The same offsets whichever tests ran before.
        SeedScrambleRandom(2024);
    }

    void writeIni(const QByteArray& text) {
        QDir().mkpath(AppDir() + "Config");
        QFile file(SmsSettingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QString storedPassword() const {
        QFile file(SmsSettingsPath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const auto match = QRegularExpression("^zhpass=(.*)$", QRegularExpression::MultilineOption)
                               .match(QString::fromUtf8(file.readAll()));
        return match.captured(1);
    }

    mode_t modeOf(const QString& path) const {
        struct stat status {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        return status.st_mode & 0777;
    }
};

void expectDefaults(const TSmsParamet& params) {
    EXPECT_FALSE(params.SmsSelend);
    EXPECT_EQ(params.SmsCom, 1);
    EXPECT_EQ(params.Morzh, 0);
    EXPECT_EQ(params.Zh, "test");
    EXPECT_EQ(params.ZhPass, "123456");
    EXPECT_EQ(params.MySend, HomePageAddress());
}

} // namespace

TEST_F(SmsSettingsTest, MissingEmptyOrGarbledFileGivesTheDefaultsAndTheFolderIsMade) {
    LoadSmsSettings();
    EXPECT_TRUE(QFileInfo(AppDir() + "Config").isDir());
    expectDefaults(SmsParams());

    for (const QByteArray& text : {QByteArray(), QByteArray("\x01\xff garbage\n=\n[\n"),
                                   QByteArray("[Other]\nSmsSelend=1\nzh=x\n")}) {
        writeIni(text);
        LoadSmsSettings();
        expectDefaults(SmsParams());
    }
    writeIni("[smsconfig]\r\nSMSSELEND = 7\r\nsmscom=x\r\nMORZH=\r\nZH=店\r\nzhpass=\r\n");
    LoadSmsSettings();
    EXPECT_TRUE(SmsParams().SmsSelend);
    EXPECT_EQ(SmsParams().SmsCom, 1);
    EXPECT_EQ(SmsParams().Morzh, 0);
    EXPECT_EQ(SmsParams().Zh, QStringLiteral("店"));
    EXPECT_EQ(SmsParams().ZhPass, QString());
}

TEST_F(SmsSettingsTest, SavedSettingsComeBackWithThePasswordScrambledAnew) {
    const mode_t oldMask = ::umask(0);
    LoadSmsSettings();
    TSmsParamet& params = SmsParams();
    params.SmsSelend = true;
    params.SmsCom = 12;
    params.MySend = QStringLiteral(" @Name您好，新品到店 = 8折 ");
    params.Morzh = 1;
    params.Zh = QStringLiteral("禾森店");
    params.ZhPass = QStringLiteral("密码pw");
    SaveSmsSettings();
    ::umask(oldMask);
    EXPECT_EQ(modeOf(SmsSettingsPath()), 0600u);
    const QString firstDigits = storedPassword();
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{14}$").match(firstDigits).hasMatch());

    SaveSmsSettings();
    EXPECT_NE(storedPassword(), firstDigits);
    const TSmsParamet saved = params;
    params = TSmsParamet{};
    LoadSmsSettings();
    EXPECT_TRUE(SmsParams().SmsSelend);
    EXPECT_EQ(SmsParams().SmsCom, 12);
    EXPECT_EQ(SmsParams().MySend, saved.MySend);
    EXPECT_EQ(SmsParams().Morzh, 1);
    EXPECT_EQ(SmsParams().Zh, saved.Zh);
    EXPECT_EQ(SmsParams().ZhPass, saved.ZhPass);

    // A file made readable by others is narrowed by the next save, never widened.
    QFile::setPermissions(SmsSettingsPath(),
                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    SaveSmsSettings();
    EXPECT_EQ(modeOf(SmsSettingsPath()), 0400u);
    EXPECT_EQ(QDir(AppDir() + "Config").entryList(QDir::Files | QDir::Hidden),
              QStringList({"Sms.ini"}));
}

TEST_F(SmsSettingsTest, EachTextSettingIsSavedOnOneLine) {
    TSmsParamet& params = SmsParams();
    params = DefaultSmsParams();
    params.Zh = "shop\n01";
    params.MySend = QStringLiteral("a\r\nb\u2028c\u2029d\re");
    params.ZhPass = "pw\n";
    SaveSmsSettings();
    QFile file(SmsSettingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 7);
    const TSmsParamet saved = params;
    EXPECT_EQ(saved.Zh, "shop 01");
    EXPECT_EQ(saved.MySend, "a b c d e");
    EXPECT_EQ(saved.ZhPass, "pw ");
    LoadSmsSettings();
    EXPECT_EQ(SmsParams().Zh, saved.Zh);
    EXPECT_EQ(SmsParams().MySend, saved.MySend);
    EXPECT_EQ(SmsParams().ZhPass, saved.ZhPass);
}

TEST_F(SmsSettingsTest, AFailedWriteRaisesUnableToWriteAndLeavesTheFileAlone) {
    writeIni("[SmsConfig]\nzh=kept\n");
    // A folder where the new file would be written.
    ASSERT_TRUE(QDir().mkpath(AppDir() + "Config/~STSms.ini.tmp"));
    SmsParams().Zh = "changed";
    try {
        SaveSmsSettings();
        ADD_FAILURE() << "no error";
    } catch (const EUserError& error) {
        EXPECT_EQ(error.Message(), "Unable to write to " + SmsSettingsPath());
    }
    LoadSmsSettings();
    EXPECT_EQ(SmsParams().Zh, "kept");
}
