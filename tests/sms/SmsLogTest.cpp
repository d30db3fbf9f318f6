#include "SmsTest.h"

#include "customers/FormCustomer.h"
#include "data/DbAccess.h"
#include "maintenance/SheetReader.h"
#include "sms/FormSendSms.h"
#include "sms/FormSmsLog.h"
#include "sms/FrmSmsSendWait.h"
#include "sms/SmsLog.h"
#include "sms/SmsLogGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeZone>
#include <QTimer>

namespace {

using State = TDeliveryReport::State;

class SmsLogTest : public SmsTest {
protected:
    // A message the modem took, whose parts got these references.
    qint64 sentByModem(const TSmsRecipient& to, const QList<int>& references) {
        const qint64 id = SmsLog().WriteSending(to, QStringLiteral("你好"), TSmsWay::Modem);
        TSendOutcome outcome;
        outcome.Accepted = true;
        outcome.Result = "1";
        outcome.ReportsAsked = true;
        outcome.References = references;
        SmsLog().WriteOutcome(id, TSmsWay::Modem, outcome);
        return id;
    }

    static TDeliveryReport report(int reference, State state, const QString& recipient,
                                  const QString& time = "2024-03-15 10:00:00") {
        TDeliveryReport made;
        made.Reference = reference;
        made.Outcome = state;
        made.Recipient = recipient;
        made.Time = time;
        return made;
    }

    // "name: field" for every row of a grid, as it shows them.
    static QStringList shown(const TSmsLogGrid& grid, const QString& field) {
        QStringList texts;
        for (int row = 0; row < grid.Count(); ++row)
            texts << grid.Text(row, QStringLiteral("姓名")) + ':' + grid.Text(row, field);
        return texts;
    }

    // The whole history as the window lists it.
    QStringList history(const QString& field) {
        TFormSmsLog window;
        window.btnQueryClick();
        return shown(*window.grdLog, field);
    }
};

TEST_F(SmsLogTest, ReportsCompleteMessagesPartByPartAndUnknownOrRepeatedOnesChangeNothing) {
    sentByModem({QStringLiteral("旧"), "13900000000"}, {7});
    sentByModem({QStringLiteral("甲"), "13800000001", "G1"}, {7, 8});
    sentByModem({QStringLiteral("乙"), "13800000002", "G2"}, {9});

    // The most recent part under reference 7 sent to the reported number; a number written
    // internationally ends like the one sent.
    EXPECT_EQ(SmsLog().ApplyReports({report(7, State::Delivered, "+8613800000001"),
                                     report(9, State::Failed, "13800000002", "2024-03-15 10:05:00"),
                                     report(42, State::Delivered, "13800000003"),
                                     report(7, State::Delivered, "13900000000"),
                                     report(8, State::Pending, "13800000001")}),
              3);
    EXPECT_EQ(history("送达情况"),
              (QStringList{QStringLiteral("乙:未送达"), QStringLiteral("甲:等待回执"),
                           QStringLiteral("旧:已送达")}));
    EXPECT_EQ(history("送达时间"),
              (QStringList{QStringLiteral("乙:2024-03-15 10:05:00"), QStringLiteral("甲:"),
                           QStringLiteral("旧:2024-03-15 10:00:00")}));

    // The second part completes the message; the same report again, or one for a message that
    // is decided, changes nothing.
    EXPECT_EQ(
        SmsLog().ApplyReports({report(8, State::Delivered, "13800000001", "2024-03-15 11:00:00")}),
        1);
    EXPECT_EQ(SmsLog().ApplyReports({report(8, State::Delivered, "13800000001"),
                                     report(9, State::Delivered, "13800000002")}),
              0);
    EXPECT_EQ(history("送达情况"),
              (QStringList{QStringLiteral("乙:未送达"), QStringLiteral("甲:已送达"),
                           QStringLiteral("旧:已送达")}));
    EXPECT_EQ(history("送达时间")[1], QStringLiteral("甲:2024-03-15 11:00:00"));
    const QString log = readLog(clock.now.date());
    EXPECT_TRUE(log.contains(
        QStringLiteral("参考号 42，号码 13800000003，状态 0）：没有这条短信，已忽略")));
    EXPECT_EQ(log.count(QStringLiteral("已有回执或不等待回执，已忽略")), 2);

    // The customer's own page.
    TFormModCustomer editor;
    editor.Guid = "G1";
    editor.LoadRecord();
    EXPECT_EQ(editor.pgcCustomer->tabText(2), QStringLiteral("短信记录"));
    EXPECT_EQ(shown(*editor.SmsGrid, "送达情况"), QStringList{QStringLiteral("甲:已送达")});
}

TEST_F(SmsLogTest, AKillBetweenSendingAndItsResultLeavesARowWhoseOutcomeIsUnknown) {
    SmsLog().WriteSending({QStringLiteral("张三"), "13800000001"}, QStringLiteral("你好"),
                          TSmsWay::Modem);
    DbAccess().Disconnect(); // the program ends before the library answers
    ASSERT_TRUE(DbAccess().Connect());
    EXPECT_EQ(history("发送结果"), QStringList{QStringLiteral("张三:结果未知")});
    EXPECT_EQ(history("短信内容"), QStringList{QStringLiteral("张三:你好")});
}

TEST_F(SmsLogTest, TheHistoryFiltersCountsExportsAndResendsTheFailedWithTheirNames) {
    const QString quoted = QStringLiteral("Hello \"VIP\" 50% @#@\n第二行");
    clock.Set(QDateTime(QDate(2024, 3, 10), QTime(9, 0)));
    SmsLog().NewBatch();
    TSendOutcome submitted{true, "000", "000"};
    SmsLog().WriteOutcome(SmsLog().WriteSending({QStringLiteral("张三"), "13800000001", "G1"},
                                                quoted, TSmsWay::Account),
                          TSmsWay::Account, submitted);
    clock.Set(QDateTime(QDate(2024, 3, 12), QTime(9, 0)));
    TSendOutcome refused{false, "0", ""};
    SmsLog().WriteOutcome(SmsLog().WriteSending({QStringLiteral("李四"), "13800000002", "G2"},
                                                QStringLiteral("你好"), TSmsWay::Modem),
                          TSmsWay::Modem, refused);
    clock.Set(QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
    sentByModem({QStringLiteral("王五"), "13800000003"}, {1});
    clock.AddSecs(1);
    sentByModem({QStringLiteral("赵六"), "13800000004", "G4"}, {2});
    SmsLog().ApplyReports(
        {report(1, State::Delivered, "13800000003"), report(2, State::Failed, "13800000004")});

    TFormSmsLog window;
    window.btnQueryClick();
    EXPECT_EQ(window.dtpFrom->date(), QDate(2024, 3, 10));
    EXPECT_EQ(window.dtpTo->date(), QDate(2024, 3, 15));
    EXPECT_EQ(window.CountText(), QStringLiteral("短信数量：4"));
    EXPECT_EQ(shown(*window.grdLog, "发送结果"),
              (QStringList{QStringLiteral("赵六:成功"), QStringLiteral("王五:成功"),
                           QStringLiteral("李四:失败"), QStringLiteral("张三:成功")}));
    EXPECT_EQ(window.grdLog->Text(3, "送达情况"), QStringLiteral("已提交"));
    EXPECT_EQ(window.grdLog->Text(3, "短信内容"), quoted);

    const auto listed = [&window](const QString& text, int state) {
        window.edtText->setText(text);
        window.cbbState->setCurrentIndex(state);
        window.btnQueryClick();
        QStringList texts;
        for (int row = 0; row < window.grdLog->Count(); ++row)
            texts << window.grdLog->Text(row, QStringLiteral("姓名"));
        return texts.join(',') + ' ' + window.CountText();
    };
    EXPECT_EQ(listed("vip", 0), QStringLiteral("张三 短信数量：1"));
    EXPECT_EQ(listed("50%", 0), QStringLiteral("张三 短信数量：1"));
    EXPECT_EQ(listed("0000000", 0), QStringLiteral("赵六,王五,李四,张三 短信数量：4"));
    EXPECT_EQ(listed(QStringLiteral("王"), 0), QStringLiteral("王五 短信数量：1"));
    EXPECT_EQ(listed("", 1), QStringLiteral("赵六,王五,张三 短信数量：3"));
    EXPECT_EQ(listed("", 2), QStringLiteral("李四 短信数量：1"));
    EXPECT_EQ(listed("", 3), QStringLiteral("王五 短信数量：1"));
    EXPECT_EQ(listed("", 4), QStringLiteral("赵六 短信数量：1"));
    window.dtpFrom->setDate(QDate(2024, 3, 11));
    window.dtpTo->setDate(QDate(2024, 3, 12));
    EXPECT_EQ(listed("", 0), QStringLiteral("李四 短信数量：1"));
    window.dtpFrom->setDate(QDate(2024, 3, 10));
    window.dtpTo->setDate(QDate(2024, 3, 15));
    listed("", 0);

    fileDialogs.ChooseNext(appDir() + "history");
    window.btnExportClick();
    EXPECT_EQ(boxes.Last().text, "导出数据到" + appDir() + "history.xlsx成功!");
    const std::unique_ptr<TSheetReader> sheet = OpenSheet(appDir() + "history.xlsx");
    QList<QStringList> rows;
    for (QStringList cells; sheet->NextRow(cells);)
        rows << cells;
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].mid(0, 4),
              (QStringList{QStringLiteral("发送时间"), QStringLiteral("姓名"),
                           QStringLiteral("手机号码"), QStringLiteral("短信内容")}));
    EXPECT_EQ(rows[4].mid(1, 3), (QStringList{QStringLiteral("张三"), "13800000001", quoted}));

    // 重发失败: the refused and the undelivered of the selection, names and customers kept.
    useAccount();
    window.grdLog->selectAll();
    CompositionCanceller canceller;
    window.btnResendClick();
    EXPECT_EQ(canceller.lists, QStringList{"13800000004\n13800000002"});
    const QList<TSmsRecipient> failed{{QStringLiteral("赵六"), "13800000004", "G4"},
                                      {QStringLiteral("李四"), "13800000002", "G2"}};
    EXPECT_EQ(canceller.prepared, QList<QList<TSmsRecipient>>{failed});
    window.grdLog->clearSelection();
    boxes.shown.clear();
    window.btnResendClick();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("请先选择要重发的短信！")});
}

TEST_F(SmsLogTest, AFullDataFileSendsNothingAndTheBatchGoesOnOnceThereIsRoom) {
    useAccount();
    // A message larger than a page of the file needs a page the file may not grow by.
    const QString longText = QString(2100, QChar(u'满'));
    startBatch(longText,
               {{QStringLiteral("甲"), "13800000001"}, {QStringLiteral("乙"), "13800000002"}});
    ExecSql(QStringLiteral("pragma max_page_count = %1").arg(ExecScalarSql("pragma page_count")));
    TFrmSmsSendWait monitor;
    monitor.show();
    monitor.Timer1Timer();
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(gateway.Sent, 0);
    EXPECT_EQ(gateway.Left, 2);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.Last().text.startsWith(
        QStringLiteral("短信记录无法写入数据文件，发往 13800000001 的短信没有发送，发送已暂停。")));
    EXPECT_EQ(monitor.ButPause->text(), QStringLiteral("开始发送"));
    EXPECT_FALSE(monitor.Timer1->isActive());
    EXPECT_EQ(ExecScalarSql("select count(*) from SmsLog"), 0);

    ExecSql("pragma max_page_count = 1073741823");
    monitor.ButPause->click();
    monitor.Timer1Timer();
    monitor.Timer1Timer();
    EXPECT_EQ(sentField("mobile"), QStringList({"13800000001", "13800000002"}));
    EXPECT_EQ(history("发送结果"),
              (QStringList{QStringLiteral("乙:成功"), QStringLiteral("甲:成功")}));
}

TEST_F(SmsLogTest, ABatchThroughTheModemKeepsTheTextsAsSentAndTheReportsEvenAfterARestart) {
    useModem();
    using Report = FakeModem::Report;
    modem.ScriptReports({Report::Delivered, Report::Failed, Report::Never});
    const QString message = QStringLiteral("@Name您好，\"新品\"到店 @#@ 50%");
    startBatch(message, {{QStringLiteral("甲"), "13800000001", "G1"},
                         {QStringLiteral("乙"), "13800000002", "G2"},
                         {QStringLiteral("丙"), "13800000003", "G3"}});
    TFrmSmsSendWait monitor;
    monitor.show();
    for (int tick = 0; tick < 3; ++tick)
        monitor.Timer1Timer();
    const QStringList sent = {PersonalText(message, QStringLiteral("丙")),
                              PersonalText(message, QStringLiteral("乙")),
                              PersonalText(message, QStringLiteral("甲"))};
    EXPECT_EQ(modemTexts(), (QStringList{sent[2], sent[1], sent[0]}));
    EXPECT_EQ(history("短信内容"),
              (QStringList{QStringLiteral("丙:") + sent[0], QStringLiteral("乙:") + sent[1],
                           QStringLiteral("甲:") + sent[2]}));
    EXPECT_EQ(history("送达情况"),
              (QStringList{QStringLiteral("丙:等待回执"), QStringLiteral("乙:等待回执"),
                           QStringLiteral("甲:等待回执")}));

    modem.ReleaseReports(FakeModem::Release::Now);
    gateway.PollReports();
    // The network's time in its zone, +08:00, as this computer's local time.
    const QString delivered =
        QDateTime(QDate::fromString(QString(FakeModem::kDischargeTime).left(10), Qt::ISODate),
                  QTime::fromString(QString(FakeModem::kDischargeTime).mid(11), Qt::ISODate),
                  QTimeZone(8 * 3600))
            .toLocalTime()
            .toString("yyyy-MM-dd hh:mm:ss");
    EXPECT_EQ(history("送达情况"),
              (QStringList{QStringLiteral("丙:等待回执"), QStringLiteral("乙:未送达"),
                           QStringLiteral("甲:已送达")}));
    EXPECT_EQ(history("送达时间"),
              (QStringList{QStringLiteral("丙:"), "乙:" + delivered, "甲:" + delivered}));
    TFormModCustomer editor;
    editor.Guid = "G2";
    editor.LoadRecord();
    EXPECT_EQ(shown(*editor.SmsGrid, "送达情况"), QStringList{QStringLiteral("乙:未送达")});

    // The same report again, and garbage on the line, change nothing.
    const std::vector<FakeModem::Submission> parts = modem.Submissions();
    modem.SendUnsolicited(
        FakeModem::StatusReportLines(parts[0].reference, "13800000001", Report::Failed) +
        "\r\nGARBAGE\r\n");
    gateway.PollReports();
    EXPECT_EQ(history("送达情况")[2], QStringLiteral("甲:已送达"));
    EXPECT_TRUE(readLog(clock.now.date()).contains(QStringLiteral("已忽略")));

    // The program ends and starts again; the late report still finds its message.
    gateway.DisconnectModem();
    gateway.ReleaseLibraries();
    DbAccess().Disconnect();
    ASSERT_TRUE(DbAccess().Connect());
    gateway.ConnectModem(1);
    modem.SendUnsolicited(
        FakeModem::StatusReportLines(parts[2].reference, "13800000003", Report::Delivered));
    gateway.PollReports();
    EXPECT_EQ(history("送达情况")[0], QStringLiteral("丙:已送达"));
}

} // namespace
