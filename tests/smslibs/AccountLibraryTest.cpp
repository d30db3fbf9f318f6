#include "GbkText.h"
#include "fakes/FakeHttpServer.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <utility>

namespace {

using SendFunction = const char* (*)(const char*, const char*, const char*, const char*,
                                     const char*, const char*);
using BalanceFunction = const char* (*)(const char*, const char*);
using PasswordFunction = const char* (*)(const char*, const char*, const char*);

QMap<QString, QString> FormFields(const std::string& body) {
    QMap<QString, QString> fields;
    for (const QByteArray& pair : QByteArray::fromStdString(body).split('&')) {
        const qsizetype equals = pair.indexOf('=');
        fields.insert(QString::fromUtf8(QByteArray::fromPercentEncoding(pair.left(equals))),
                      QString::fromUtf8(QByteArray::fromPercentEncoding(pair.mid(equals + 1))));
    }
    return fields;
}

// Loads a copy of the account library from <tmp>/dll/, its settings pointing at the loopback
// server.
class SmsAccountLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("dll"));
        ASSERT_TRUE(QFile::copy(SMS_ACCOUNT_LIBRARY, dir.filePath("dll/libwinsms.so")));
        writeSettings("[Service]\nurl = " + server.BaseUrl() + "/api/\ntimeout=0.3\n");
        library.setFileName(dir.filePath("dll/libwinsms.so"));
        ASSERT_TRUE(library.load()) << library.errorString().toStdString();
        sendSms = reinterpret_cast<SendFunction>(library.resolve("Sendsms"));
        balance = reinterpret_cast<BalanceFunction>(library.resolve("Remoney"));
        changePassword = reinterpret_cast<PasswordFunction>(library.resolve("Editpwd"));
        ASSERT_TRUE(sendSms && balance && changePassword);
    }

    void TearDown() override { library.unload(); }

    void writeSettings(const std::string& text) {
        QFile file(dir.filePath("dll/winsms.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.c_str());
    }

    QString send(const QString& account, const QString& password, const QString& mobile,
                 const QString& content) {
        return FromGbk(sendSms(ToGbk(account).constData(), ToGbk(password).constData(),
                               ToGbk(mobile).constData(), ToGbk(content).constData(), "", ""));
    }

    QString sendSomething() { return send("shop", "secret", "13800138000", "hi"); }

    FakeHttpServer::Request lastRequest() const {
        const auto requests = server.Requests();
        return requests.empty() ? FakeHttpServer::Request{} : requests.back();
    }

    FakeHttpServer server;
    QTemporaryDir dir;
    QLibrary library;
    SendFunction sendSms = nullptr;
    BalanceFunction balance = nullptr;
    PasswordFunction changePassword = nullptr;
};

TEST_F(SmsAccountLibrary, SendPostsTheFormIntactAndPassesTheReplyThrough) {
    server.Queue({200, "000"});
    server.Queue({200, "-01"});
    const QString account = QStringLiteral("禾森'店&1");
    const QString password = QStringLiteral("p'a=ss@#@&%+");
    const QString content = QStringLiteral("张三您好：O'Neil & Co, 1+1=2 @#@ 100% 满意");

    EXPECT_EQ(send(account, password, "13800138000", content), "000");
    const FakeHttpServer::Request request = lastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/api/send");
    EXPECT_EQ(request.contentType, "application/x-www-form-urlencoded");
    const QMap<QString, QString> fields = FormFields(request.body);
    EXPECT_EQ(fields.keys(),
              (QStringList{"account", "content", "ext1", "ext2", "mobile", "password"}));
    EXPECT_EQ(fields["account"], account);
    EXPECT_EQ(fields["password"], password);
    EXPECT_EQ(fields["mobile"], "13800138000");
    EXPECT_EQ(fields["content"], content);
    EXPECT_EQ(fields["ext1"], "");
    EXPECT_EQ(fields["ext2"], "");

    EXPECT_EQ(send(account, password, "13800138000", content), "-01");
}

TEST_F(SmsAccountLibrary, BalanceAndPasswordChangeGoToTheirOwnAddresses) {
    server.Queue({200, "000"});
    server.Queue({200, "12.5"});
    server.Queue({200, "-03密码错误"});
    server.Queue({200, "000"});

    const char* sendReply = sendSms("shop", "secret", "13800138000", "hi", "", "");
    EXPECT_STREQ(sendReply, "000");

    EXPECT_STREQ(balance("shop", "secret"), "12.5");
    EXPECT_EQ(lastRequest().path, "/api/balance");
    EXPECT_EQ(FormFields(lastRequest().body),
              (QMap<QString, QString>{{"account", "shop"}, {"password", "secret"}}));

    EXPECT_EQ(QByteArray(balance("shop", "wrong")), ToGbk(QStringLiteral("-03密码错误")));

    const QString newPassword = QStringLiteral("新密码'&=");
    EXPECT_STREQ(changePassword("shop", "secret", ToGbk(newPassword).constData()), "000");
    EXPECT_EQ(lastRequest().path, "/api/password");
    EXPECT_EQ(FormFields(lastRequest().body),
              (QMap<QString, QString>{
                  {"account", "shop"}, {"password", "secret"}, {"newpassword", newPassword}}));

    // A reply stays until the next call of the same function.
    EXPECT_STREQ(sendReply, "000");
}

TEST_F(SmsAccountLibrary, RepliesComeBackInGbkFromTheCharsetTheServiceUses) {
    const std::string utf8 = "-01余额不足";
    const QByteArray gbk = ToGbk(QString::fromStdString(utf8));
    const std::pair<FakeHttpServer::Reply, QByteArray> replies[] = {
        {{200, gbk.toStdString(), false, "text/plain; charset=GBK"}, gbk},
        {{200, gbk.toStdString(), false, "text/plain"}, gbk},
        {{200, gbk.toStdString(), false, ""}, gbk},
        {{200, gbk.toStdString(), false, "text/plain; charset=no-such-charset"}, gbk},
        {{200, utf8, false, "text/plain"}, gbk},
        {{200, utf8, false, "text/html;Charset=\"UTF-8\""}, gbk},
        {{200, "caf\xE9", false, "text/plain; format=flowed; charset=ISO-8859-1"},
         ToGbk(QStringLiteral("café"))},
    };
    for (const auto& [reply, expected] : replies) {
        server.Queue(reply);
        EXPECT_EQ(QByteArray(balance("shop", "secret")), expected) << reply.contentType;
    }
}

TEST_F(SmsAccountLibrary, AnythingButATimelyHttp200GivesMinus99) {
    server.Queue({500, "000"});
    EXPECT_EQ(sendSomething(), "-99");

    server.Queue({200, "000", true});
    EXPECT_EQ(sendSomething(), "-99");
    EXPECT_STREQ(balance("shop", "secret"), "000"); // the held request did not block the next

    writeSettings(
        "[service]\nurl=http://127.0.0.1:" + std::to_string(FakeHttpServer::UnusedPort()) + "\n");
    EXPECT_EQ(sendSomething(), "-99");

    const auto requestsBefore = server.Requests().size();
    writeSettings("[service]\n; url=" + server.BaseUrl() + "\ntimeout=15\n");
    EXPECT_EQ(sendSomething(), "-99");
    writeSettings("[other]\nurl=" + server.BaseUrl() + "\n");
    EXPECT_STREQ(balance("shop", "secret"), "-99");
    QFile::remove(dir.filePath("dll/winsms.ini"));
    EXPECT_STREQ(changePassword("shop", "a", "b"), "-99");
    EXPECT_EQ(server.Requests().size(), requestsBefore);
}

TEST_F(SmsAccountLibrary, NullArgumentsAreSentAsEmptyTexts) {
    EXPECT_STREQ(sendSms(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), "000");
    for (const QString& value : FormFields(lastRequest().body))
        EXPECT_EQ(value, "");
    EXPECT_EQ(FormFields(lastRequest().body).size(), 6);
    EXPECT_STREQ(changePassword(nullptr, nullptr, nullptr), "000");
    EXPECT_EQ(FormFields(lastRequest().body).size(), 3);
}

TEST_F(SmsAccountLibrary, TheEnvironmentCanNameTheSettingsFileElsewhere) {
    server.Queue({200, "000"});
    writeSettings("[service]\n; url=\n");
    const QString elsewhere = dir.filePath("winsms.ini");
    QFile file(elsewhere);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("[service]\nurl=" + server.BaseUrl() + "/api\n").c_str());
    file.close();

    qputenv("WINSMS_INI", QFile::encodeName(elsewhere));
    EXPECT_EQ(sendSomething(), "000");
    EXPECT_EQ(lastRequest().path, "/api/send");
    qunsetenv("WINSMS_INI");
    EXPECT_EQ(sendSomething(), "-99");
    EXPECT_EQ(server.Requests().size(), 1u);
}

// What the build runs to put the example settings beside the library, here with umask 0.
void WriteExampleIni(const QString& example, const QString& settings) {
    QProcess cmake;
    cmake.setChildProcessModifier([] { ::umask(0); });
    cmake.start(CMAKE_PROGRAM,
                {"-DSOURCE=" + example, "-DTARGET=" + settings, "-P", WRITE_EXAMPLE_INI});
    ASSERT_TRUE(cmake.waitForFinished(30000));
    ASSERT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();
}

void WriteFile(const QString& path, const QByteArray& content, std::filesystem::perms mode) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    std::filesystem::permissions(path.toStdString(), mode);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::filesystem::perms ModeOf(const QString& path) {
    return std::filesystem::status(path.toStdString()).permissions();
}

TEST(SmsAccountSettingsFile, TheExampleIsWrittenForTheOwnerOnlyAndAConfiguredFileIsLeftAlone) {
    using std::filesystem::perms;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString example = dir.filePath("winsms.ini.example");
    const QString settings = dir.filePath("dll/winsms.ini");
    WriteFile(example, "[service]\n; url=\n", perms::all);

    WriteExampleIni(example, settings);
    EXPECT_EQ(ModeOf(settings), perms::owner_read | perms::owner_write);
    EXPECT_EQ(ReadFile(settings), "[service]\n; url=\n");
    EXPECT_EQ(QDir(dir.filePath("dll")).entryList(QDir::Files), QStringList{"winsms.ini"});

    const perms configured = perms::owner_read | perms::owner_write | perms::group_read;
    WriteFile(settings, "[service]\nurl=https://sms.example.com\n", configured);
    WriteExampleIni(example, settings);
    EXPECT_EQ(ModeOf(settings), configured);
    EXPECT_EQ(ReadFile(settings), "[service]\nurl=https://sms.example.com\n");
}

} // namespace
