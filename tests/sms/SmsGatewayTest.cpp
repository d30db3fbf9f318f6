#include "SmsTest.h"

#include "data/AppDir.h"
#include "sms/SmsSettings.h"

#include <QFile>

namespace {

const QString kZhang = QStringLiteral("张三");

QList<TSmsRecipient> threeRecipients() {
    return {{kZhang, "13800000001"}, {QStringLiteral("李四"), "13800000002"}, {"", "13800000003"}};
}

struct Counters {
    int total, sent, left, succeeded, failed;
    bool operator==(const Counters&) const = default;
};

Counters countersOf(const TVoskSms& gateway) {
    return {gateway.Total, gateway.Sent, gateway.Left, gateway.Succeeded, gateway.Failed};
}

} // namespace

TEST_F(SmsTest, ModemBatchGoesOnPastARefusalAndPutsNamesInTheText) {
    useModem();
    modem.Script({FakeModem::Misbehaviour::None, FakeModem::Misbehaviour::CmsError});
    startBatch(QStringLiteral("@Name您好，@Name！@name"), threeRecipients());

    gateway.SendNext();
    EXPECT_EQ(countersOf(gateway), (Counters{3, 1, 2, 1, 0}));
    gateway.SendNext();
    EXPECT_EQ(countersOf(gateway), (Counters{3, 2, 1, 1, 1}));
    EXPECT_FALSE(gateway.Finished);
    gateway.SendNext();
    EXPECT_EQ(countersOf(gateway), (Counters{3, 3, 0, 2, 1}));
    EXPECT_TRUE(gateway.Finished);
    EXPECT_FALSE(gateway.Busy);
    EXPECT_EQ(gateway.Failures, QList<TSmsRecipient>({threeRecipients()[1]}));

    EXPECT_EQ(modemNumbers(), QStringList({"13800000001", "13800000002", "13800000003"}));
    const QStringList texts = modemTexts();
    EXPECT_EQ(texts.at(0), QStringLiteral("张三您好，张三！@name"));
    EXPECT_EQ(texts.at(2), QStringLiteral("您好，！@name"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(SmsTest, WebBatchStopsAtTheFirstRefusalAndMovesTheRestToFailures) {
    useAccount();
    EXPECT_EQ(gateway.ConnState, -1);
    server.Queue({200, "000"});
    server.Queue({200, "-01 balance"});
    startBatch(QStringLiteral("@Name，到货了"), threeRecipients());

    gateway.SendNext();
    gateway.SendNext();
    EXPECT_EQ(countersOf(gateway), (Counters{3, 1, 2, 1, 2}));
    EXPECT_TRUE(gateway.Finished);
    EXPECT_EQ(gateway.Failures, threeRecipients().mid(1));
    EXPECT_EQ(boxTexts(), QStringList({QStringLiteral("当前短信账号余额不足！")}));
    EXPECT_EQ(boxes.Last().icon, MsgIcon::Error);

    EXPECT_EQ(sentField("account"), QStringList({"shop", "shop"}));
    EXPECT_EQ(sentField("password"), QStringList({"secret", "secret"}));
    EXPECT_EQ(sentField("mobile"), QStringList({"13800000001", "13800000002"}));
    EXPECT_EQ(sentField("content"),
              QStringList({QStringLiteral("张三，到货了"), QStringLiteral("李四，到货了")}));
}

TEST_F(SmsTest, AMissingLibraryIsNamedInABoxAndCountsAsAFailure) {
    ASSERT_TRUE(QFile::remove(AppDir() + "dll/libsms.so"));
    SmsParams().SmsSelend = true;
    gateway.SmsOn = true;
    gateway.ConnectModem(1);
    EXPECT_EQ(gateway.ConnState, 0);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.Last().text.contains(AppDir() + "dll/libsms.so"))
        << boxes.Last().text.toStdString();
    startBatch("hi", threeRecipients().mid(0, 1));
    gateway.SendNext();
    EXPECT_EQ(countersOf(gateway), (Counters{1, 1, 0, 0, 1}));
    gateway.DisconnectModem();

    // An account library that lacks its functions: the web batch stops at once.
    ASSERT_TRUE(QFile::remove(AppDir() + "dll/libwinsms.so"));
    ASSERT_TRUE(QFile::copy(SMS_MODEM_LIBRARY, AppDir() + "dll/libwinsms.so"));
    boxes.shown.clear();
    useAccount();
    startBatch("hi", threeRecipients());
    gateway.SendNext();
    EXPECT_EQ(countersOf(gateway), (Counters{3, 0, 3, 0, 3}));
    EXPECT_TRUE(gateway.Finished);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.Last().text.contains("libwinsms.so"));
    EXPECT_TRUE(boxes.Last().text.contains("Sendsms"));
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(SmsTest, ReplyCodesBalanceAndPasswordChange) {
    const QStringList texts = {"短信返回成功！",
                               "当前短信账号余额不足！",
                               "当前短信用户ID错误！",
                               "当前短信用户的密码错误！",
                               "短信参数不够或参数类型错误",
                               "手机号码格式不对！",
                               "短信内容编码不对！",
                               "短信内容含有敏感字符！",
                               "无接收数据！",
                               "短信系统维护中..",
                               "手机号码数量超长！",
                               "短信内容超长！",
                               "其它错误！"};
    for (int code = 0; code < texts.size(); ++code)
        EXPECT_EQ(TVoskSms::ResultText(code == 0 ? "000" : QString::asprintf("-%02d", code)),
                  texts[code]);
    EXPECT_EQ(TVoskSms::ResultText("abc"), QStringLiteral("其他未知捕获信息，请先检查网络abc"));

    server.Queue({200, "12.5"});
    server.Queue({200, "-03"});
    server.Queue({200, ""});
    gateway.ShowBalance(QStringLiteral("店"), "pw");
    gateway.ShowBalance("shop", "bad");
    gateway.ShowBalance("shop", "pw");
    EXPECT_EQ(boxTexts(), QStringList({QStringLiteral("剩余金额:  12.5  元"),
                                       QStringLiteral("当前短信用户的密码错误！"),
                                       QStringLiteral("剩余金额:    元")}));
    EXPECT_EQ(sentField("account").first(), QStringLiteral("店"));

    boxes.shown.clear();
    server.Queue({200, "000"});
    server.Queue({200, "-02"});
    EXPECT_TRUE(gateway.ChangePassword("shop", "old", "new"));
    EXPECT_FALSE(gateway.ChangePassword("shop", "old", "new"));
    EXPECT_EQ(boxTexts(), QStringList({QStringLiteral("当前短信用户ID错误！")}));
    EXPECT_EQ(sentField("newpassword").mid(3), QStringList({"new", "new"}));
}
