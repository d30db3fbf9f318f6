#include "SmsTest.h"

#include "app/FormMain.h"
#include "app/StartUp.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "sms/FormSmsSettings.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QTimer>

TEST_F(SmsTest, MainWindowOpensTheSettingsAndRefusesToCloseWhileSending) {
    std::unique_ptr<TFormMain> form = CreateMainWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(QFileInfo(AppDir() + "Config").isDir());
    form->show();

    QString opened;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<TFormSMSCSSZ*>(QApplication::activeModalWidget())) {
            opened = dialog->windowTitle();
            dialog->reject();
        }
    });
    form->N1->trigger();
    EXPECT_EQ(opened, QStringLiteral("短信设置"));

    gateway.SmsOn = true;
    gateway.Busy = true;
    EXPECT_FALSE(form->close());
    EXPECT_EQ(boxTexts(), QStringList({QStringLiteral("正在停止短信发送，请稍等再退出系统...")}));
    gateway.Busy = false;
    EXPECT_TRUE(form->close());
    form.reset();
    DbAccess().Disconnect();
}
