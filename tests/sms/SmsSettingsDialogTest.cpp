#include "SmsTest.h"

#include "data/AppDir.h"
#include "sms/FormSmsSettings.h"
#include "sms/SmsSettings.h"
#include "sms/SmsTextEdit.h"
#include "ui/FormWaiting.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TEST_F(SmsTest, SettingsDialogShowsThePanelsOfTheModeAndRunsTheAccountCommands) {
    SmsParams().Morzh = 1;
    SmsParams().ZhPass = "saved";
    TFormSMSCSSZ dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("短信设置"));
    EXPECT_TRUE(dialog.Panel1->isHidden());
    dialog.CSmsSelend->click();
    EXPECT_FALSE(dialog.Panel1->isHidden());
    EXPECT_TRUE(dialog.pnlm->isHidden());
    EXPECT_FALSE(dialog.pnlz->isHidden());
    dialog.rg1Items->button(0)->click();
    EXPECT_FALSE(dialog.pnlm->isHidden());
    EXPECT_TRUE(dialog.pnlz->isHidden());
    dialog.rg1Items->button(1)->click();
    EXPECT_TRUE(dialog.pnlm->isHidden());
    EXPECT_EQ(dialog.cbbcom->currentText(), "1");
    EXPECT_EQ(dialog.Edtzh->text(), "test");
    EXPECT_EQ(dialog.EdtPass->echoMode(), QLineEdit::Password);
    QApplication::clipboard()->setText("shop\r\n01\n");
    for (QLineEdit* box : {dialog.Edtzh, dialog.EdtPass, dialog.Edtnewpass, dialog.EdtRePass}) {
        box->clear();
        box->paste();
        EXPECT_EQ(box->text(), "shop 01 ");
        box->clear();
    }
    dialog.Edtzh->setText("test");
    dialog.mmoText->setPlainText(QString(10, QChar(0x4E2D)));
    EXPECT_EQ(dialog.LabTextcount->text(), QStringLiteral("字数：20"));

    server.Queue({200, "8"});
    dialog.EdtPass->setText("typed");
    dialog.btn1->click();
    EXPECT_EQ(sentField("password"), QStringList({"typed"}));

    dialog.btn2->click();
    dialog.Edtnewpass->setText("new");
    dialog.EdtRePass->setText("other");
    dialog.btn2->click();
    server.Queue({200, "-03"});
    dialog.EdtRePass->setText("new");
    dialog.btn2->click();
    EXPECT_EQ(dialog.EdtPass->text(), "typed");
    dialog.btn2->click();
    EXPECT_EQ(
        boxTexts(),
        QStringList({QStringLiteral("剩余金额:  8  元"), QStringLiteral("新密码不能为空！"),
                     QStringLiteral("两次密码输入不一样！"),
                     QStringLiteral("当前短信用户的密码错误！"), QStringLiteral("修改密码成功!")}));
    EXPECT_EQ(dialog.EdtPass->text(), "new");
    EXPECT_EQ(SmsParams().ZhPass, "new");
    EXPECT_FALSE(QFile::exists(SmsSettingsPath()));
}

TEST_F(SmsTest, SettingsDialogSavesAndReconnectsOrStaysOpenOnAFault) {
    LoadSmsSettings();
    ASSERT_TRUE(QFile::link(QString::fromStdString(modem.SlavePath()), AppDir() + "dev/COM12"));
    TFormSMSCSSZ dialog;
    dialog.show();
    dialog.CSmsSelend->click();
    dialog.cbbcom->setEditText("x");
    EXPECT_FALSE(click(dialog.btnOK));
    EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("“x”")))
        << boxes.Last().text.toStdString();
    EXPECT_FALSE(SmsParams().SmsSelend);
    EXPECT_FALSE(QFile::exists(SmsSettingsPath()));

    // The new file cannot be made: nothing saved, the dialog stays.
    ASSERT_TRUE(QDir().mkpath(AppDir() + "Config/~STSms.ini.tmp"));
    dialog.cbbcom->setEditText("12");
    EXPECT_FALSE(click(dialog.btnOK));
    EXPECT_EQ(boxes.Last().text, "Unable to write to " + SmsSettingsPath());
    EXPECT_FALSE(WaitingWindow().isVisible());
    EXPECT_FALSE(SmsParams().SmsSelend);
    EXPECT_FALSE(gateway.SmsOn);
    EXPECT_TRUE(dialog.isVisible());

    ASSERT_TRUE(QDir().rmdir(AppDir() + "Config/~STSms.ini.tmp"));
    boxes.shown.clear();
    dialog.mmoText->setPlainText(QStringLiteral("新的预设"));
    EXPECT_TRUE(click(dialog.btnOK));
    EXPECT_EQ(boxTexts(), QStringList({QStringLiteral("保存成功！")}));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(gateway.SmsOn);
    EXPECT_NE(gateway.ConnState, 0);
    EXPECT_FALSE(WaitingWindow().isVisible());

    SmsParams() = TSmsParamet{};
    LoadSmsSettings();
    EXPECT_TRUE(SmsParams().SmsSelend);
    EXPECT_EQ(SmsParams().SmsCom, 12);
    EXPECT_EQ(SmsParams().MySend, QStringLiteral("新的预设"));
    EXPECT_EQ(SmsParams().Morzh, 0);
    EXPECT_EQ(SmsParams().ZhPass, "123456");
}
