#include "GbkText.h"
#include "PduReader.h"
#include "SmsModem.h"
#include "fakes/FakeModem.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace {

using ConnectFunction = int (*)(const char*, int, int, int*, int*);
using SendFunction = int (*)(const char*, const char*);
using DisconnectFunction = void (*)();
using SendWithReferencesFunction = int (*)(const char*, const char*, int*, int, int*);
using ReadReportsFunction = int (*)(SmsStatusReport*, int);

using Misbehaviour = FakeModem::Misbehaviour;
using Report = FakeModem::Report;
using Release = FakeModem::Release;

constexpr char kIdentification[] = "0123456789ABCDEF0123456789ABCDEF0123456789ABCDE";
constexpr int kNoModemPort = 250;

QString RepeatedTo(const QString& pattern, int length) {
    QString text;
    while (text.size() < length)
        text += pattern;
    return text.left(length);
}

// Loads a copy of the modem library from <tmp>/dll/, with <tmp>/dev/COM1 leading to the
// simulated modem.
class SmsModemLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("SMS_MODEM_TIMEOUT_MS", "300");
        qputenv("SMS_MODEM_PROBE_MS", "100");
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("dll"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("dev"));
        ASSERT_TRUE(QFile::copy(SMS_MODEM_LIBRARY, dir.filePath("dll/libsms.so")));
        plugModem();
        library.setFileName(dir.filePath("dll/libsms.so"));
        ASSERT_TRUE(library.load()) << library.errorString().toStdString();
        connectModem = reinterpret_cast<ConnectFunction>(library.resolve("Sms_Connection"));
        sendMessage = reinterpret_cast<SendFunction>(library.resolve("Sms_Send"));
        disconnectModem =
            reinterpret_cast<DisconnectFunction>(library.resolve("Sms_Disconnection"));
        sendWithReferences =
            reinterpret_cast<SendWithReferencesFunction>(library.resolve("Sms_SendWithReferences"));
        readReports = reinterpret_cast<ReadReportsFunction>(library.resolve("Sms_ReadReports"));
        ASSERT_TRUE(connectModem && sendMessage && disconnectModem && sendWithReferences &&
                    readReports);
    }

    void TearDown() override {
        if (disconnectModem)
            disconnectModem();
        library.unload();
        qunsetenv("SMS_MODEM_TIMEOUT_MS");
        qunsetenv("SMS_MODEM_PROBE_MS");
        qunsetenv("SMS_MODEM_DEVICES");
        qunsetenv("SMS_MODEM_SEND_LIMIT_MS");
    }

    void plugModem() {
        const QString link = dir.filePath("dev/COM1");
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(QString::fromStdString(modem.SlavePath()), link));
    }

    int connect(int port = 1) {
        int a = 0;
        int b = 0;
        return connectModem(kIdentification, port, 9600, &a, &b);
    }

    int send(const QString& number, const QString& text) {
        return sendMessage(ToGbk(number).constData(), ToGbk(text).constData());
    }

    // The references of the parts accepted, or nothing when the message failed.
    std::optional<std::vector<int>> sendReported(const QString& number, const QString& text) {
        std::vector<int> references(SMS_MOST_PARTS, -2);
        int accepted = -1;
        if (sendWithReferences(ToGbk(number).constData(), ToGbk(text).constData(),
                               references.data(), SMS_MOST_PARTS, &accepted) != 1)
            return std::nullopt;
        references.resize(accepted);
        return references;
    }

    std::vector<SmsStatusReport> reportsArrived() {
        std::vector<SmsStatusReport> reports(16);
        reports.resize(readReports(reports.data(), static_cast<int>(reports.size())));
        return reports;
    }

    std::vector<int> modemReferences() const {
        std::vector<int> references;
        for (const auto& submission : modem.Submissions())
            references.push_back(submission.reference);
        return references;
    }

    std::vector<SubmitPdu> sentPdus(std::size_t from = 0) const {
        std::vector<SubmitPdu> pdus;
        const auto submissions = modem.Submissions();
        for (std::size_t i = from; i < submissions.size(); ++i) {
            const auto pdu = ReadSubmitPdu(submissions[i].pduHex);
            EXPECT_TRUE(pdu) << submissions[i].pduHex;
            if (pdu)
                pdus.push_back(*pdu);
        }
        return pdus;
    }

    long countOf(const std::string& command) const {
        const auto commands = modem.Commands();
        return std::count(commands.begin(), commands.end(), command);
    }

    FakeModem modem;
    QTemporaryDir dir;
    QLibrary library;
    ConnectFunction connectModem = nullptr;
    SendFunction sendMessage = nullptr;
    DisconnectFunction disconnectModem = nullptr;
    SendWithReferencesFunction sendWithReferences = nullptr;
    ReadReportsFunction readReports = nullptr;
};

void ExpectReport(const SmsStatusReport& report, int reference, int state, int networkStatus,
                  const char* recipient) {
    EXPECT_EQ(report.reference, reference);
    EXPECT_EQ(report.state, state);
    EXPECT_EQ(report.networkStatus, networkStatus);
    EXPECT_STREQ(report.recipient, recipient);
    EXPECT_STREQ(report.dischargeTime, FakeModem::kDischargeTime);
    EXPECT_EQ(report.zoneMinutes, 8 * 60);
}

TEST_F(SmsModemLibrary, ConnectsAndSendsAChineseTextAsOneUcs2Pdu) {
    ASSERT_NE(connect(), 0);
    const auto commands = modem.Commands();
    const auto at = std::find(commands.begin(), commands.end(), "AT");
    const auto echoOff = std::find(at, commands.end(), "ATE0");
    EXPECT_NE(std::find(echoOff, commands.end(), "AT+CMGF=0"), commands.end());

    const QString text = QStringLiteral("张三您好，明天上午10点到店取货！");
    ASSERT_EQ(send("+8613800138000", text), 1);
    const auto submission = modem.Submissions().at(0);
    EXPECT_EQ(submission.pduHex, QString::fromStdString(submission.pduHex).toUpper().toStdString());
    EXPECT_EQ(submission.declaredLength, static_cast<int>(submission.pduHex.size() / 2) - 1);
    const SubmitPdu pdu = sentPdus().at(0);
    EXPECT_EQ(pdu.serviceCentreLength, 0);
    EXPECT_EQ(pdu.firstOctet, 0x11);
    EXPECT_EQ(pdu.number, "8613800138000");
    EXPECT_EQ(pdu.numberType, 0x91);
    EXPECT_EQ(pdu.protocolId, 0x00);
    EXPECT_EQ(pdu.codingScheme, 0x08);
    EXPECT_EQ(pdu.validity, 0xAA);
    EXPECT_FALSE(pdu.hasHeader);
    EXPECT_EQ(pdu.text, text);

    const QString seventy = RepeatedTo(QStringLiteral("满七十字"), 70);
    ASSERT_EQ(send("13800138000", seventy), 1);
    const SubmitPdu national = sentPdus(1).at(0);
    EXPECT_EQ(national.number, "13800138000");
    EXPECT_EQ(national.numberType, 0x81);
    EXPECT_FALSE(national.hasHeader);
    EXPECT_EQ(national.text, seventy);
}

TEST_F(SmsModemLibrary, LongTextGoesOutAsPartsThatReassemble) {
    ASSERT_NE(connect(), 0);
    const QString text = RepeatedTo(QStringLiteral("会员日全场八折，Welcome! "), 150);
    ASSERT_EQ(send("13800138000", text), 1);

    const auto parts = sentPdus();
    ASSERT_EQ(parts.size(), 3u);
    QString reassembled;
    for (int i = 0; i < 3; ++i) {
        const SubmitPdu& part = parts[i];
        EXPECT_TRUE(part.hasHeader);
        EXPECT_EQ(part.firstOctet, 0x51);
        EXPECT_EQ(part.reference, parts[0].reference);
        EXPECT_EQ(part.total, 3);
        EXPECT_EQ(part.sequence, i + 1);
        EXPECT_LE(part.userDataLength, 140);
        EXPECT_EQ(part.number, "13800138000");
        reassembled += part.text;
    }
    EXPECT_EQ(parts[0].text.size(), 67);
    EXPECT_EQ(reassembled, text);
    for (const auto& submission : modem.Submissions())
        EXPECT_EQ(submission.declaredLength, static_cast<int>(submission.pduHex.size() / 2) - 1);

    ASSERT_EQ(send("13800138000", RepeatedTo(QStringLiteral("再来一条"), 71)), 1);
    const auto next = sentPdus(3);
    ASSERT_EQ(next.size(), 2u);
    EXPECT_NE(next[0].reference, parts[0].reference);
}

TEST_F(SmsModemLibrary, RefusedMessagesFailAndTheNextNumberStillGoesOut) {
    ASSERT_NE(connect(), 0);
    modem.Script({Misbehaviour::CmsError, Misbehaviour::Error, Misbehaviour::NoPrompt});
    EXPECT_NE(send("13800000001", QStringLiteral("一")), 1);
    EXPECT_NE(send("13800000002", QStringLiteral("二")), 1);
    EXPECT_NE(send("13800000003", QStringLiteral("三")), 1);
    EXPECT_TRUE(modem.WaitForEscapes(1, 5000));
    EXPECT_EQ(send("13800000004", QStringLiteral("四")), 1);
    EXPECT_EQ(sentPdus().back().number, "13800000004");

    // A refused part stops the rest of a long message.
    const auto before = modem.Submissions().size();
    modem.Script({Misbehaviour::None, Misbehaviour::CmsError});
    EXPECT_NE(send("13800000005", RepeatedTo(QStringLiteral("长"), 150)), 1);
    EXPECT_EQ(modem.Submissions().size(), before + 2);
}

TEST_F(SmsModemLibrary, SilenceAndHangUpFailWithoutHangingAndTheNextNumberGoesOut) {
    ASSERT_NE(connect(), 0);
    modem.Script({Misbehaviour::Silence});
    EXPECT_NE(send("13800000001", QStringLiteral("没有回音")), 1);
    EXPECT_EQ(send("13800000002", QStringLiteral("下一位")), 1);

    modem.Script({Misbehaviour::None, Misbehaviour::HangUp});
    EXPECT_NE(send("13800000003", RepeatedTo(QStringLiteral("断线"), 150)), 1);
    ASSERT_TRUE(modem.HungUp());

    modem.Replug();
    plugModem();
    const long probesBefore = countOf("AT");
    EXPECT_EQ(send("13800000004", QStringLiteral("重新接上")), 1);
    EXPECT_GT(countOf("AT"), probesBefore);
    EXPECT_EQ(sentPdus().back().number, "13800000004");
    EXPECT_EQ(sentPdus().back().text, QStringLiteral("重新接上"));
}

TEST_F(SmsModemLibrary, OneMessageKeepsWithinItsOverallLimit) {
    // One answer alone could keep the message a minute; the whole message may take 300 ms.
    qputenv("SMS_MODEM_TIMEOUT_MS", "60000");
    qputenv("SMS_MODEM_SEND_LIMIT_MS", "300");
    ASSERT_NE(connect(), 0);
    modem.Script({Misbehaviour::None, Misbehaviour::Silence});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(send("13800000001", RepeatedTo(QStringLiteral("长"), 150)), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(modem.Submissions().size(), 2u);
    EXPECT_EQ(send("13800000002", QStringLiteral("下一位")), 1);
}

TEST_F(SmsModemLibrary, ALostLineIsReopenedOnTheDeviceThatWasOpened) {
    // Another modem where the system keeps its first serial port.
    FakeModem other;
    ASSERT_TRUE(QDir(dir.path()).mkpath("sys"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(other.SlavePath()), dir.filePath("sys/ttyS0")));
    qputenv("SMS_MODEM_DEVICES", dir.filePath("sys").toLocal8Bit());

    ASSERT_NE(connect(), 0);
    modem.Script({Misbehaviour::HangUp});
    EXPECT_NE(send("13800000001", QStringLiteral("断线")), 1);
    ASSERT_TRUE(modem.HungUp());
    ASSERT_TRUE(QFile::remove(dir.filePath("dev/COM1")));
    EXPECT_NE(send("13800000002", QStringLiteral("设备不见了")), 1);
    EXPECT_TRUE(other.Commands().empty());

    modem.Replug();
    plugModem();
    EXPECT_EQ(send("13800000003", QStringLiteral("重新接上")), 1);
    EXPECT_EQ(sentPdus().back().number, "13800000003");
    EXPECT_TRUE(other.Commands().empty());
}

TEST_F(SmsModemLibrary, AModemThatKeepsTalkingIsCutOffAndTheNextNumberGoesOut) {
    // Only the length of the answer can end these sends: the modem would answer in the end.
    qputenv("SMS_MODEM_TIMEOUT_MS", "20000");
    ASSERT_NE(connect(), 0);
    modem.Script({Misbehaviour::Chatter, Misbehaviour::Babble});
    EXPECT_NE(send("13800000001", QStringLiteral("说个不停")), 1);
    EXPECT_TRUE(modem.WaitForEscapes(1, 5000));
    EXPECT_NE(send("13800000002", QStringLiteral("一行没完")), 1);
    EXPECT_TRUE(modem.WaitForEscapes(2, 5000));
    EXPECT_EQ(send("13800000003", QStringLiteral("下一位")), 1);
    EXPECT_EQ(sentPdus().back().number, "13800000003");
}

TEST_F(SmsModemLibrary, NoModemGivesZeroAndSendingWithoutConnectionFails) {
    EXPECT_NE(send("13800138000", QStringLiteral("未连接")), 1);
    EXPECT_EQ(connect(kNoModemPort), 0);

    modem.SetDead(true);
    EXPECT_EQ(connect(), 0);
    EXPECT_EQ(countOf("AT"), 3);
    EXPECT_EQ(countOf("ATE0"), 0);
    EXPECT_NE(send("13800138000", QStringLiteral("未连接")), 1);

    modem.SetDead(false);
    modem.FailCommand("AT+CMGF=0");
    EXPECT_EQ(connect(), 0);
    EXPECT_TRUE(modem.Submissions().empty());
}

TEST_F(SmsModemLibrary, ConnectingTwiceNullTextsAndWrittenNumbersAreSafe) {
    ASSERT_NE(connectModem(nullptr, 1, 9600, nullptr, nullptr), 0);
    ASSERT_NE(connect(), 0);
    EXPECT_NE(sendMessage(nullptr, nullptr), 1);
    EXPECT_NE(send("138-0013-800O", QStringLiteral("号码不对")), 1);
    EXPECT_TRUE(modem.Submissions().empty());

    EXPECT_EQ(sendMessage("(0571) 8888-8888", nullptr), 1);
    EXPECT_EQ(sentPdus().at(0).number, "057188888888");
    EXPECT_EQ(sentPdus().at(0).text, QString());

    disconnectModem();
    EXPECT_NE(send("13800138000", QStringLiteral("已断开")), 1);
    EXPECT_EQ(modem.Submissions().size(), 1u);
}

TEST_F(SmsModemLibrary, EachPartHasItsReferenceAndItsReportIsReadWheneverItArrives) {
    ASSERT_NE(connect(), 0);
    modem.ScriptReports({Report::Delivered, Report::Failed, Report::Never});
    const auto parts = sendReported("13800138000", RepeatedTo(QStringLiteral("回执"), 150));
    ASSERT_TRUE(parts);
    EXPECT_EQ(*parts, modemReferences());
    ASSERT_EQ(parts->size(), 3u);
    for (const SubmitPdu& pdu : sentPdus())
        EXPECT_EQ(pdu.firstOctet, 0x71);

    // After the batch, while no command runs; a short buffer takes the reports in turns.
    EXPECT_TRUE(reportsArrived().empty());
    modem.ReleaseReports(Release::Now);
    SmsStatusReport first{};
    ASSERT_EQ(readReports(&first, 1), 1);
    ExpectReport(first, parts->at(0), SMS_DELIVERED, FakeModem::kDeliveredStatus, "13800138000");
    auto reports = reportsArrived();
    ASSERT_EQ(reports.size(), 1u);
    ExpectReport(reports[0], parts->at(1), SMS_FAILED, FakeModem::kFailedStatus, "13800138000");
    EXPECT_TRUE(reportsArrived().empty());

    // Garbage around reports, a report for a reference never sent, the same report twice,
    // and a report whose line is still arriving at the first look.
    const std::string stranger =
        FakeModem::StatusReportLines(200, "13900000000", Report::Delivered);
    const std::size_t cut = stranger.size() - 9;
    modem.SendUnsolicited("\r\nRING\r\n\x01\x7Fjunk\r\n+CDS: 12\r\nNOT HEX\r\n+CDS: 26\r\n00FF\r\n"
                          "+CDS: 6,12,129\r\n" +
                          stranger + stranger + stranger.substr(0, cut));
    reports = reportsArrived();
    ASSERT_EQ(reports.size(), 2u);
    for (const SmsStatusReport& report : reports)
        ExpectReport(report, 200, SMS_DELIVERED, FakeModem::kDeliveredStatus, "13900000000");
    modem.SendUnsolicited(stranger.substr(cut));
    ASSERT_EQ(reportsArrived().size(), 1u);

    // A report in the middle of the next send's answer neither spoils that answer nor is lost.
    modem.ScriptReports({Report::Delivered});
    const auto single = sendReported("13800138001", QStringLiteral("单条"));
    ASSERT_TRUE(single);
    ASSERT_EQ(single->size(), 1u);
    modem.ReleaseReports(Release::InNextAnswer);
    EXPECT_EQ(send("13800138002", QStringLiteral("不要回执")), 1);
    EXPECT_EQ(sentPdus().back().firstOctet, 0x11);
    reports = reportsArrived();
    ASSERT_EQ(reports.size(), 1u);
    ExpectReport(reports[0], single->at(0), SMS_DELIVERED, FakeModem::kDeliveredStatus,
                 "13800138001");

    // A report that came before a command started is kept; Sms_Send asks for none.
    const auto another = sendReported("13800138003", QStringLiteral("再一条"));
    ASSERT_TRUE(another);
    modem.ReleaseReports(Release::Now);
    EXPECT_EQ(send("13800138004", QStringLiteral("不要回执")), 1);
    reports = reportsArrived();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].reference, another->at(0));
    modem.ReleaseReports(Release::Now);
    EXPECT_TRUE(reportsArrived().empty());
}

TEST_F(SmsModemLibrary, AModemWithoutReportsStillConnectsAndSendsWithReferences) {
    for (const char* command : {"AT+CSMS=0", "AT+CNMI=2,0,0,1,0", "AT+CNMI=1,0,0,1,0"})
        modem.FailCommand(command);
    ASSERT_NE(connect(), 0);
    EXPECT_EQ(countOf("AT+CNMI=1,0,0,1,0"), 1);

    // A part refused in the middle fails the message; the part before it keeps its reference.
    modem.Script({Misbehaviour::None, Misbehaviour::CmsError});
    int references[SMS_MOST_PARTS] = {};
    int accepted = -1;
    EXPECT_NE(sendWithReferences("13800138000",
                                 ToGbk(RepeatedTo(QStringLiteral("长"), 150)).constData(),
                                 references, SMS_MOST_PARTS, &accepted),
              1);
    ASSERT_EQ(accepted, 1);
    EXPECT_EQ(references[0], modemReferences().at(0));
    EXPECT_EQ(sendWithReferences("13800138000", nullptr, nullptr, 0, nullptr), 1);

    modem.ReleaseReports(Release::Now);
    EXPECT_TRUE(reportsArrived().empty());
    disconnectModem();
    EXPECT_EQ(readReports(nullptr, 4), 0);
    EXPECT_TRUE(reportsArrived().empty());
}

} // namespace
