#include "SmsTest.h"

#include "data/AppDir.h"
#include "sms/FormSendSms.h"
#include "sms/FrmSmsSendWait.h"
#include "sms/SmsSettings.h"
#include "sms/SmsTextEdit.h"
#include "ui/FormWaiting.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QList<TSmsRecipient> kPrepared = {{QStringLiteral("张三"), "138 0001"},
                                        {QStringLiteral("李四"), "1390002"},
                                        {QStringLiteral("王五"), "138 0001"}};

} // namespace

TEST_F(SmsTest, CompositionCountsBytesAndNumbersAndCarriesNamesIntoTheBatch) {
    SmsParams().MySend = QStringLiteral("预设内容");
    gateway.MessageText = QStringLiteral("上一批的内容");
    gateway.StartBatch(kPrepared);
    TFormSendSms dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("发送短信"));
    EXPECT_EQ(dialog.btnOK->text(), QStringLiteral("确定发送(&O)"));
    EXPECT_EQ(dialog.btnCancel->text(), QStringLiteral("取消发送(&C)"));
    EXPECT_EQ(dialog.mmoText->toPlainText(), QStringLiteral("预设内容"));
    EXPECT_EQ(dialog.mmoTel->toPlainText(), "138 0001\n1390002\n138 0001");
    EXPECT_EQ(dialog.LabTelCount->text(), QStringLiteral("号码数量：3"));

    dialog.mmoText->setPlainText(QStringLiteral("你好a"));
    EXPECT_EQ(dialog.LabTextcount->text(), QStringLiteral("字数：5"));
    dialog.mmoText->setPlainText(QString(70, QChar(0x4E2D)));
    EXPECT_EQ(dialog.LabTextcount->text(), QStringLiteral("字数：140"));
    dialog.mmoText->clear();
    QTest::keyClick(dialog.mmoText, Qt::Key_Return);
    QApplication::clipboard()->setText("a\nb\r\nc");
    dialog.mmoText->paste();
    EXPECT_EQ(dialog.mmoText->toPlainText(), "a b c");

    for (const auto& [list, count] : std::initializer_list<std::pair<QString, int>>{
             {"   ", 0}, {" \n", 0}, {"139\n", 1}, {"139\n\n", 2}, {"139\n ", 2}}) {
        dialog.mmoTel->setPlainText(list);
        EXPECT_EQ(dialog.LabTelCount->text(), QStringLiteral("号码数量：%1").arg(count))
            << list.toStdString();
    }
    EXPECT_EQ(dialog.mmoTel->toPlainText(), "139\n ");

    dialog.mmoText->setPlainText(QStringLiteral("  @Name，到货了 "));
    dialog.mmoTel->setPlainText("138 0001\n\n138 0001\n138 0001\n1390002\n555\n");
    EXPECT_TRUE(click(dialog.btnOK));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(gateway.MessageText, QStringLiteral("@Name，到货了"));
    EXPECT_EQ(gateway.Recipients, QList<TSmsRecipient>({{QStringLiteral("张三"), "138 0001"},
                                                        {"", ""},
                                                        {QStringLiteral("王五"), "138 0001"},
                                                        {"", "138 0001"},
                                                        {QStringLiteral("李四"), "1390002"},
                                                        {"", "555"}}));
    EXPECT_EQ(gateway.Total, 6);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(SmsTest, CompositionRefusesAnEmptyMessageOrListAndCharactersOutsideGbk) {
    gateway.StartBatch(kPrepared);
    TFormSendSms dialog;
    dialog.show();
    dialog.mmoText->setPlainText("   ");
    EXPECT_FALSE(click(dialog.btnOK));
    dialog.mmoText->setPlainText(QString::fromUcs4(U"好\U0001F600"));
    EXPECT_FALSE(click(dialog.btnOK));
    dialog.mmoText->setPlainText("hi");
    dialog.mmoTel->setPlainText("\n\n");
    EXPECT_FALSE(click(dialog.btnOK));
    EXPECT_EQ(boxTexts(), QStringList({QStringLiteral("发送内容不能为空！"),
                                       QString::fromUcs4(U"发送内容中的字符“\U0001F600”不能用短信"
                                                         U"发送，请删除后再发送！"),
                                       QStringLiteral("发送号码不能为空！")}));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(gateway.Recipients, kPrepared);

    QFile file(AppDir() + "numbers.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("111\r\n\r\n222\r\n");
    file.close();
    fileDialogs.ChooseNext(file.fileName());
    dialog.btnIn->click();
    EXPECT_EQ(dialog.mmoTel->toPlainText(), "111\n\n222\n");
    EXPECT_EQ(dialog.LabTelCount->text(), QStringLiteral("号码数量：3"));
}

TEST_F(SmsTest, SendCommandChecksTheDeviceThenComposesAndSends) {
    int gathered = 0;
    const auto gather = [&] {
        ++gathered;
        EXPECT_TRUE(WaitingWindow().isVisible());
        return kPrepared.mid(0, 2);
    };
    StartSmsSending("off", gather);
    SmsParams().SmsSelend = true;
    gateway.SmsOn = true;
    gateway.ConnState = 0;
    StartSmsSending("off", gather);
    EXPECT_EQ(boxTexts(), QStringList({"off", QStringLiteral("短信设备没有正确连接！")}));
    EXPECT_EQ(gathered, 0);

    useAccount();
    QString shownNumbers;
    bool monitorOpened = false;
    // The composition, then the monitor, each answered once its own loop runs.
    const auto answerComposition = [&] {
        auto* dialog = qobject_cast<TFormSendSms*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shownNumbers = dialog->mmoTel->toPlainText();
        dialog->mmoText->setPlainText(QStringLiteral("@Name好"));
        QTimer::singleShot(0, [&] {
            if (auto* monitor = qobject_cast<TFrmSmsSendWait*>(QApplication::activeModalWidget())) {
                monitorOpened = true;
                monitor->Timer1Timer();
            }
            QApplication::activeModalWidget()->close();
        });
        dialog->btnOK->click();
    };
    const auto gatherThenAnswer = [&] {
        QTimer::singleShot(0, answerComposition);
        return gather();
    };
    StartSmsSending("off", gatherThenAnswer);
    EXPECT_EQ(gathered, 1);
    EXPECT_FALSE(WaitingWindow().isVisible());
    EXPECT_EQ(shownNumbers, "138 0001\n1390002");
    EXPECT_TRUE(monitorOpened);
    EXPECT_EQ(sentField("content"), QStringList({QStringLiteral("张三好")}));
    EXPECT_EQ(gateway.Left, 1);
}
