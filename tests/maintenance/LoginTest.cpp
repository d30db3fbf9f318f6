#include "app/Application.h"
#include "app/FormMain.h"
#include "app/StartUp.h"
#include "data/DbAccess.h"
#include "maintenance/Config.h"
#include "maintenance/FormConfig.h"
#include "maintenance/FormPass.h"
#include "notebook/NoteTab.h"
#include "support/AppDirTest.h"
#include "support/Modal.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

class LoginTest : public AppDirTest {
protected:
    void SetUp() override {
        AppDirTest::SetUp();
        ASSERT_TRUE(DbAccess().Connect());
    }
    void TearDown() override {
        form.reset();
        DbAccess().Disconnect();
        AppDirTest::TearDown();
    }
    void Store(bool on, const QString& password) {
        ExecSql(QList<SqlStatement>{
            {"update SysSet set bPass=?, PassWord=?", {on ? -1 : 0, password}}});
        AppConfig().LoadConfig();
    }
    QString Stored() {
        TDataSet& set = DbAccess().OpenQuery("select bPass, PassWord from SysSet");
        return set.AsString(0) + '/' + set.AsString(1);
    }
    // The next password prompt is answered with each text in turn (OK after each); a null text
    // presses Cancel.
    void AnswerPrompt(const QStringList& tries) {
        WhenModal([this, tries](QWidget* widget) {
            auto* prompt = qobject_cast<TFormPass*>(widget);
            if (!prompt) {
                ADD_FAILURE() << "no password prompt";
                if (auto* dialog = qobject_cast<QDialog*>(widget))
                    dialog->reject();
                return;
            }
            prompts << prompt->windowTitle();
            for (const QString& text : tries) {
                if (text.isNull()) {
                    QTest::mouseClick(prompt->btnCancel, Qt::LeftButton);
                    return;
                }
                prompt->edtPass->setText(text);
                QTest::mouseClick(prompt->btnOK, Qt::LeftButton);
            }
            if (prompt->isVisible()) {
                ADD_FAILURE() << "the prompt refused every try";
                prompt->reject();
            }
        });
    }
    // Runs the settings dialog and fills it; returns its result.
    int RunConfig(const std::function<void(TFormConfig&)>& fill) {
        WhenModal([fill](QWidget* widget) {
            auto* dialog = qobject_cast<TFormConfig*>(widget);
            ASSERT_NE(dialog, nullptr);
            fill(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        return ShowConfigDialog();
    }
    static void Ok(TFormConfig& dialog) { QTest::mouseClick(dialog.btnOK, Qt::LeftButton); }
    static void Type(TFormConfig& dialog, const QString& first, const QString& second) {
        dialog.edtPass->setText(first);
        dialog.edtRePass->setText(second);
    }
    QStringList Errors() const {
        QStringList texts;
        for (const MessageBoxRequest& box : boxes.shown)
            texts << box.text;
        return texts;
    }
    void OpenMainWindow() {
        form = CreateMainWindow();
        ASSERT_NE(form, nullptr);
        form->show();
    }
    void AddNotesAndGroups() {
        ExecSql(QList<SqlStatement>{
            {"insert into NoteBook(TypeID, ReMark) values (0, ?)", {"根的记事"}},
            {"insert into NoteType(SelfIndex, ParentIndex, TypeName) values (1, 0, ?)", {"组"}}});
    }

    std::unique_ptr<TFormMain> form;
    QStringList prompts;
};

TEST_F(LoginTest, StartUpAsksUntilTheExactPasswordIsTyped) {
    Store(true, " Pa'ss ");
    AddNotesAndGroups();
    AnswerPrompt({" pa'ss ", "Pa'ss", " Pa'ss "});
    OpenMainWindow();
    EXPECT_EQ(prompts, QStringList{"先输入密码登录软件"});
    EXPECT_EQ(Errors(), (QStringList{"密码输入错误!", "密码输入错误!"}));
    EXPECT_TRUE(form->LoggedIn());
    EXPECT_TRUE(form->tmr1->isActive());
    EXPECT_EQ(form->notebook->mmoNote->toPlainText(), "根的记事");
}

TEST_F(LoginTest, ClosingThePromptInAnyWayEndsTheProgramWithNothingShown) {
    Store(true, "pw");
    AddNotesAndGroups();
    const std::function<void(TFormPass*)> ways[] = {
        [](TFormPass* prompt) { QTest::mouseClick(prompt->btnCancel, Qt::LeftButton); },
        [](TFormPass* prompt) { QTest::keyClick(prompt->edtPass, Qt::Key_Escape); },
        [](TFormPass* prompt) {
            prompt->close();
        }};
    for (const auto& close : ways) {
        WhenModal([close](QWidget* widget) {
            auto* prompt = qobject_cast<TFormPass*>(widget);
            ASSERT_NE(prompt, nullptr);
            close(prompt);
        });
        OpenMainWindow();
        EXPECT_FALSE(form->LoggedIn());
        EXPECT_FALSE(form->tmr1->isActive());
        EXPECT_EQ(form->notebook->mmoNote->toPlainText(), "");
        EXPECT_EQ(form->tvNote->topLevelItem(0)->childCount(), 0);
        EXPECT_FALSE(DbAccess().GridSet().IsOpen());
        form.reset();
    }
    // The program's run ends without entering its event loop.
    AnswerPrompt({QString()});
    EXPECT_EQ(RunProgram(static_cast<TApplication&>(*qApp)), 0);
}

TEST_F(LoginTest, SettingAPasswordRefusesBlanksAndMismatchesAndKeepsSpaces) {
    Store(false, "");
    ASSERT_EQ(RunConfig([&](TFormConfig& dialog) {
                  // Opened with the switch off, the boxes are enabled all the same.
                  EXPECT_TRUE(dialog.edtPass->isEnabled());
                  dialog.chkPass->click();
                  Type(dialog, "   ", "   ");
                  Ok(dialog);
                  Type(dialog, " it's ", " it's");
                  Ok(dialog);
                  EXPECT_EQ(Stored(), "0/");
                  Type(dialog, " it's ", " it's ");
                  Ok(dialog);
              }),
              1);
    EXPECT_EQ(Errors(), (QStringList{"密码不能为空!", "两次输入的密码不一样,请重新输入!"}));
    EXPECT_EQ(prompts, QStringList());
    EXPECT_EQ(Stored(), "-1/ it's ");
}

TEST_F(LoginTest, ChangingOrSwitchingOffAStoredPasswordAsksForItFirst) {
    Store(true, "old'pw");
    AnswerPrompt({"old'pw"}); // the login
    OpenMainWindow();
    const auto change = [&](TFormConfig& dialog) {
        EXPECT_TRUE(dialog.chkPass->isChecked());
        EXPECT_EQ(dialog.edtRePass->text(), "old'pw");
        Type(dialog, "new", "new");
        AnswerPrompt({QString()});
        Ok(dialog); // declined: the dialog stays open
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Stored(), "-1/old'pw");
        AnswerPrompt({"old'pw"});
        Ok(dialog);
    };
    prompts.clear();
    WhenModal([&](QWidget* widget) { change(*qobject_cast<TFormConfig*>(widget)); });
    form->N15->trigger();
    EXPECT_EQ(prompts, (QStringList{"请先输入旧密码", "请先输入旧密码"}));
    EXPECT_EQ(Stored(), "-1/new");

    // The stored password left in the boxes: nothing asked.
    prompts.clear();
    EXPECT_EQ(RunConfig(Ok), 1);
    EXPECT_EQ(prompts, QStringList());

    EXPECT_EQ(RunConfig([&](TFormConfig& dialog) {
                  dialog.chkPass->click();
                  EXPECT_FALSE(dialog.edtPass->isEnabled());
                  EXPECT_EQ(dialog.edtPass->text(), "");
                  AnswerPrompt({"new"});
                  Ok(dialog);
              }),
              1);
    EXPECT_EQ(prompts, QStringList{"请先输入密码才可以取消登录密码"});
    EXPECT_EQ(Stored(), "0/");
}

TEST_F(LoginTest, ATextSavedUntickedGuardsEveryLaterOk) {
    Store(false, "");
    EXPECT_EQ(RunConfig([&](TFormConfig& dialog) {
                  dialog.edtPass->setText("abc");
                  Ok(dialog);
              }),
              1);
    EXPECT_EQ(Stored(), "0/abc");
    EXPECT_EQ(prompts, QStringList());

    RunConfig([&](TFormConfig& dialog) {
        EXPECT_EQ(dialog.edtPass->text(), "abc");
        AnswerPrompt({QString()});
        Ok(dialog);
        dialog.chkPass->click();
        Type(dialog, "xyz", "xyz");
        AnswerPrompt({QString()});
        Ok(dialog);
    });
    EXPECT_EQ(prompts, (QStringList{"请先输入密码才可以取消登录密码", "请先输入旧密码"}));
    EXPECT_EQ(Stored(), "0/abc");
}

} // namespace
