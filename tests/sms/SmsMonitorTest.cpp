#include "SmsTest.h"

#include "sms/FrmSmsSendWait.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QList<TSmsRecipient> numbered(int count) {
    QList<TSmsRecipient> rows;
    for (int i = 1; i <= count; ++i)
        rows.append({QStringLiteral("客户%1").arg(i), QStringLiteral("1380000000%1").arg(i)});
    return rows;
}

class SmsMonitorTest : public SmsTest {
protected:
    void SetUp() override {
        SmsTest::SetUp();
        useAccount();
    }

    void open(int count) {
        startBatch(QStringLiteral("@Name：新品到店"), numbered(count));
        monitor = std::make_unique<TFrmSmsSendWait>();
        monitor->show();
    }

    QString counters() const {
        return QStringList({monitor->LabAll->text(), monitor->LabCount->text(),
                            monitor->Lableft->text(), monitor->LabOk->text(),
                            monitor->LabAbort->text()})
            .join('/');
    }

    std::unique_ptr<TFrmSmsSendWait> monitor;
};

} // namespace

TEST_F(SmsMonitorTest, CountersFollowEachTickAndTheEndShowsOneTickLater) {
    open(3);
    EXPECT_EQ(monitor->windowTitle(), QStringLiteral("短信发送详细信息"));
    EXPECT_EQ(counters(), "3/0/3/0/0");
    EXPECT_TRUE(monitor->Timer1->isActive());
    EXPECT_EQ(monitor->Timer1->interval(), 1000);
    for (const char* expected : {"3/1/2/1/0", "3/2/1/2/0", "3/3/0/3/0"}) {
        monitor->Timer1Timer();
        EXPECT_EQ(counters(), expected);
        EXPECT_EQ(monitor->LabSmsWait->text(), QStringLiteral("正在发送短信，请等待..."));
    }
    monitor->Timer1Timer();
    EXPECT_EQ(monitor->LabSmsWait->text(), QStringLiteral("发送完成！"));
    EXPECT_FALSE(monitor->Timer1->isActive());
    EXPECT_EQ(server.Requests().size(), 3u);

    monitor->Button2->click();
    EXPECT_EQ(monitor->mmoTel->toPlainText(), QString());
    EXPECT_EQ(monitor->LabTelCount->text(), QStringLiteral("号码数量：0"));
}

TEST_F(SmsMonitorTest, PauseResumeBusyTickAndAbandon) {
    open(5);
    monitor->Timer1Timer();
    monitor->ButPause->click();
    EXPECT_EQ(monitor->ButPause->text(), QStringLiteral("开始发送"));
    EXPECT_FALSE(monitor->Timer1->isActive());
    EXPECT_EQ(counters(), "5/1/4/1/0");
    monitor->ButPause->click();
    EXPECT_EQ(monitor->ButPause->text(), QStringLiteral("暂停发送"));
    EXPECT_TRUE(monitor->Timer1->isActive());

    gateway.Busy = true; // a step still running: the tick leaves it alone
    monitor->Timer1Timer();
    EXPECT_EQ(counters(), "5/1/4/1/0");
    gateway.Busy = false;
    monitor->Timer1Timer();
    EXPECT_EQ(sentField("mobile"), QStringList({"13800000001", "13800000002"}));

    monitor->Button1->click();
    EXPECT_FALSE(monitor->isVisible());
    EXPECT_FALSE(monitor->Timer1->isActive());
    EXPECT_EQ(gateway.Left, 3);
    EXPECT_TRUE(gateway.Failures.isEmpty());
}

TEST_F(SmsMonitorTest, FailureListAndResendWithTheSameMessageAndNames) {
    server.Queue({200, "000"});
    server.Queue({200, "000"});
    server.Queue({200, "-01"});
    open(5);
    monitor->Timer1Timer();
    monitor->Button3->click(); // still sending
    EXPECT_EQ(boxTexts(),
              QStringList({QStringLiteral("信息正在发送中，请发送完成后在重新发送！")}));
    EXPECT_EQ(counters(), "5/1/4/1/0");
    monitor->Timer1Timer();
    monitor->Timer1Timer();
    EXPECT_EQ(counters(), "5/2/3/2/3");
    monitor->Timer1Timer();
    EXPECT_EQ(monitor->LabSmsWait->text(), QStringLiteral("发送完成！"));

    boxes.shown.clear();
    EXPECT_FALSE(click(monitor->Button3)); // empty list
    EXPECT_EQ(boxTexts(), QStringList({QStringLiteral("发送号码不能为空！")}));

    monitor->Button2->click();
    EXPECT_EQ(monitor->mmoTel->toPlainText(), "13800000003\n13800000004\n13800000005");
    EXPECT_EQ(monitor->LabTelCount->text(), QStringLiteral("号码数量：3"));
    monitor->mmoTel->appendPlainText("13900000009");
    EXPECT_TRUE(click(monitor->Button3));
    EXPECT_EQ(counters(), "4/0/4/0/0");
    EXPECT_EQ(monitor->LabSmsWait->text(), QStringLiteral("正在发送短信，请等待..."));
    EXPECT_EQ(monitor->mmoTel->toPlainText(), QString());
    EXPECT_TRUE(monitor->Timer1->isActive());
    EXPECT_EQ(gateway.Recipients.first(), numbered(5)[2]);
    EXPECT_EQ(gateway.Recipients.last(), (TSmsRecipient{"", "13900000009"}));
    monitor->Timer1Timer();
    EXPECT_EQ(sentField("content").last(), QStringLiteral("客户3：新品到店"));
    EXPECT_EQ(sentField("mobile").last(), "13800000003");
}

TEST_F(SmsMonitorTest, APauseHoldsThroughMinimiseAndRestoreAndEscEndsNothing) {
    open(5);
    monitor->Timer1Timer();
    monitor->ButPause->click();
    monitor->showMinimized();
    monitor->showNormal();
    EXPECT_FALSE(monitor->Timer1->isActive());
    EXPECT_EQ(monitor->ButPause->text(), QStringLiteral("开始发送"));

    QTest::keyClick(monitor->mmoTel, Qt::Key_Escape);
    EXPECT_TRUE(monitor->isVisible());
    monitor->ButPause->click();
    QTest::keyClick(monitor.get(), Qt::Key_Escape);
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_TRUE(monitor->Timer1->isActive());
    EXPECT_EQ(counters(), "5/1/4/1/0");

    monitor->close(); // the close box
    EXPECT_FALSE(monitor->isVisible());
    EXPECT_FALSE(monitor->Timer1->isActive());
}

TEST_F(SmsMonitorTest, TheFailureListCountsABlankLastNumber) {
    server.Queue({200, "-01"});
    startBatch(QStringLiteral("新品到店"), {{"甲", "13800000001"}, {"乙", ""}});
    monitor = std::make_unique<TFrmSmsSendWait>();
    monitor->show();
    monitor->Timer1Timer();
    EXPECT_EQ(monitor->LabAbort->text(), "2");
    monitor->Button2->click();
    EXPECT_EQ(monitor->LabTelCount->text(), QStringLiteral("号码数量：2"));
    monitor->Timer1Timer();
    EXPECT_TRUE(click(monitor->Button3));
    EXPECT_EQ(gateway.Recipients, (QList<TSmsRecipient>{{"甲", "13800000001"}, {"乙", ""}}));
}
