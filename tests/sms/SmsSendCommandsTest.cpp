#include "SmsTest.h"

#include "app/FormMain.h"
#include "app/StartUp.h"
#include "customers/CustomerTab.h"
#include "customers/FormCustomer.h"
#include "data/DbAccess.h"
#include "sms/FormSendSms.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

TEST_F(SmsTest, ListAndEditorCommandsOpenTheCompositionWithTheirNumbers) {
    ASSERT_TRUE(DbAccess().Connect());
    const QString insert = "insert into Customer(GUID, TypeID, 姓名, 手机号码) values (?, 0, ?, ?)";
    ExecSql(QList<SqlStatement>{{insert, {"G1", QStringLiteral("甲"), "1381"}},
                                {insert, {"G2", QStringLiteral("乙"), "  "}},
                                {insert, {"G3", QStringLiteral("丙"), "1383 "}}});
    std::unique_ptr<TFormMain> form = CreateMainWindow();
    ASSERT_NE(form, nullptr);
    form->show();
    // A child of the main window, so it goes first.
    auto editor = std::make_unique<TFormAddCustomer>();
    editor->show();
    form->customers->N7Click();
    QTest::mouseClick(editor->img1, Qt::LeftButton);
    EXPECT_EQ(
        boxTexts(),
        QStringList({QStringLiteral("请在系统设置菜单中选择短信设置，正确设置相关信息！"),
                     QStringLiteral("请在软件设置菜单中选择短信设置，并正确设置相关信息！")}));

    useAccount();
    CompositionCanceller canceller;
    form->customers->N7Click();
    EXPECT_EQ(gateway.Recipients, QList<TSmsRecipient>({{QStringLiteral("甲"), "1381", "G1"},
                                                        {QStringLiteral("丙"), "1383 ", "G3"}}));
    for (const char* number : {" 139 ", "  "}) {
        editor->edtTel->setText(number);
        QTest::mouseClick(editor->img1, Qt::LeftButton);
    }
    EXPECT_EQ(canceller.lists, QStringList({"1381\n1383 ", " 139 ", ""}));
    EXPECT_EQ(gateway.Total, 0);
    EXPECT_TRUE(server.Requests().empty());
    editor.reset();
    form.reset();
    DbAccess().Disconnect();
}
