#include "app/FormMain.h"
#include "app/RunAtStartup.h"
#include "app/StartUp.h"
#include "data/DbAccess.h"
#include "reminders/AlamTab.h"
#include "support/AppDirTest.h"
#include "ui/AppTitle.h"
#include "ui/WindowMessages.h"
#include "util/Gbk.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

class FormMainTest : public AppDirTest {
protected:
    void SetUp() override {
        AppDirTest::SetUp();
        ASSERT_TRUE(config.isValid());
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    }
    void TearDown() override {
        form.reset();
        DbAccess().Disconnect();
        qputenv("XDG_CONFIG_HOME", savedConfig);
        AppDirTest::TearDown();
    }
    void openMainWindow() {
        form = CreateMainWindow();
        ASSERT_NE(form, nullptr);
        form->show();
    }

    QTemporaryDir config;
    QByteArray savedConfig;
    std::unique_ptr<TFormMain> form;
};

} // namespace

TEST_F(FormMainTest, FrameHasItsCaptionTabsAndMenu) {
    openMainWindow();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("客户信息管理-禾森软件"));
    EXPECT_EQ(form->size(), QSize(1024, 588));
    ASSERT_EQ(form->pgc1->count(), 3);
    EXPECT_EQ(form->pgc1->tabText(0), QStringLiteral("客户管理"));
    EXPECT_EQ(form->pgc1->tabText(1), QStringLiteral("记事本"));
    EXPECT_EQ(form->pgc1->tabText(2), QStringLiteral("定时提醒"));
    EXPECT_EQ(form->pgc1->currentIndex(), 0);

    QStringList items;
    for (QAction* action : form->pmSystem->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(items, QStringList({QStringLiteral("自定义客户资料"), QStringLiteral("软件设置"),
                                  QStringLiteral("短信设置"), QStringLiteral("短信记录"), "-",
                                  QStringLiteral("数据维护"), "-", QStringLiteral("软件主页")}));
    EXPECT_EQ(form->btnSystem->x(), form->pnlBottom->width() - 100);
    EXPECT_EQ(form->chk1->x(), form->pnlBottom->width() - 180);
    EXPECT_EQ(form->tvNote->currentItem()->text(0), QStringLiteral("根目录"));
}

TEST_F(FormMainTest, RunningHintGrowsOneGbkByteAPerTickAndStartsOver) {
    openMainWindow();
    const QString hint = QStringLiteral("点右键可以新建、修改和删除分组");
    ASSERT_EQ(GbkLength(hint), 30);
    EXPECT_EQ(form->HintText(), QString());

    form->tmrHintTimer(); // the first byte of 点: nothing whole to show yet
    EXPECT_EQ(form->HintText(), QString());
    form->tmrHintTimer();
    EXPECT_EQ(form->HintText(), QStringLiteral("点"));
    for (int tick = 3; tick <= 29; ++tick)
        form->tmrHintTimer();
    EXPECT_EQ(form->HintText(), hint.left(14));
    form->tmrHintTimer();
    EXPECT_EQ(form->HintText(), hint);
    EXPECT_EQ(form->stat2Panel->text(), hint);
    form->tmrHintTimer();
    EXPECT_EQ(form->HintText(), QString());
    EXPECT_EQ(form->stat2Panel->text(), QString());
    form->tmrHintTimer();
    form->tmrHintTimer();
    EXPECT_EQ(form->HintText(), QStringLiteral("点"));
}

TEST_F(FormMainTest, RunAtStartupBoxFollowsTheStoredEntry) {
    const QString exe = QCoreApplication::applicationFilePath();
    SetRunAtStartup(AppTitle(), exe, true);
    openMainWindow();
    EXPECT_TRUE(form->chk1->isChecked());

    QTest::mouseClick(form->chk1, Qt::LeftButton);
    EXPECT_FALSE(form->chk1->isChecked());
    EXPECT_FALSE(IsRunAtStartup(AppTitle(), exe));
    QTest::mouseClick(form->chk1, Qt::LeftButton);
    EXPECT_TRUE(IsRunAtStartup(AppTitle(), exe));
}

TEST_F(FormMainTest, EscapeOpensTheSystemMenu) {
    openMainWindow();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->pmSystem->isVisible());
    form->pmSystem->hide();
}

TEST_F(FormMainTest, FieldsChangedMessageReloadsTheCustomerList) {
    openMainWindow();
    QSignalSpy reloaded(form.get(), &TFormMain::CustomerListReloaded);
    QCoreApplication::postEvent(form.get(), new TWindowMessage(WM_FIELDS_CHANGED));
    EXPECT_EQ(reloaded.count(), 0);
    QCoreApplication::sendPostedEvents(form.get());
    EXPECT_EQ(reloaded.count(), 1);
    EXPECT_EQ(int(WM_FIELDS_CHANGED), 1124);
}

TEST_F(FormMainTest, HomePageCommandOpensTheStoredAddress) {
    openMainWindow();
    form->NOpenWWW1->trigger();
    EXPECT_EQ(shell.opened, QStringList{"https://www.example.com/hesen/"});
}

TEST_F(FormMainTest, ClosingDisconnectsAndCompactsTheDataFile) {
    openMainWindow();
    EXPECT_TRUE(DbAccess().Connected());
    QList<SqlStatement> inserts;
    for (int i = 0; i < 300; ++i)
        inserts.append({"insert into Customer([GUID], 备注) values (?, ?)",
                        {QString::number(i), QString(1000, 'r')}});
    ExecSql(inserts);
    ExecSql("delete from Customer");
    ASSERT_GT(ExecScalarSql("pragma freelist_count"), 50);
    const qint64 filled = QFileInfo(dataFile()).size();

    EXPECT_TRUE(form->close());
    EXPECT_FALSE(DbAccess().Connected());
    EXPECT_LT(QFileInfo(dataFile()).size(), filled / 4);
    ASSERT_TRUE(DbAccess().Connect());
    EXPECT_EQ(ExecScalarSql("pragma freelist_count"), 0);
}

TEST_F(FormMainTest, MissingDataFileShowsTheFailureAndCreatesNoWindow) {
    ASSERT_TRUE(QFile::remove(dataFile()));
    EXPECT_EQ(CreateMainWindow(), nullptr);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.Last().caption, QStringLiteral("错误"));
    EXPECT_TRUE(boxes.Last().text.startsWith(QStringLiteral("数据库连接失败！\n详细信息：")));
    EXPECT_GT(boxes.Last().text.size(), QStringLiteral("数据库连接失败！\n详细信息：").size());
    EXPECT_FALSE(QFile::exists(dataFile()));
    EXPECT_TRUE(QDir(appDir()).entryList({"Log*"}).isEmpty());
}

TEST_F(FormMainTest, AFailedStartStepShowsItsErrorAndTheOtherStepsStillRun) {
    ASSERT_TRUE(DbAccess().Connect());
    // Without a column it shows, the customer list fails.
    ExecSql(QList<SqlStatement>{
        {"alter table Customer drop column 备注", {}},
        {"insert into NoteType(SelfIndex, ParentIndex, TypeName) values (1, 0, 'notes')", {}},
        {"insert into Alam(iHour, iMinute, iMonWeek, ReDay, AlamDate, ReMark) "
         "values (9, 0, 1, 1, '2024-03-15', 'daily')",
         {}}});
    SetRunAtStartup(AppTitle(), QCoreApplication::applicationFilePath(), true);
    openMainWindow();

    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.Last().caption, QStringLiteral("错误"));
    QTreeWidgetItem* noteRoot = form->tvNote->topLevelItem(0);
    EXPECT_EQ(noteRoot->childCount(), 1);
    EXPECT_EQ(form->tvNote->currentItem(), noteRoot);
    EXPECT_EQ(form->lv1->topLevelItemCount(), 1);
    EXPECT_TRUE(form->chk1->isChecked());
    EXPECT_EQ(form->btnSystem->x(), form->pnlBottom->width() - 100);
    EXPECT_TRUE(form->tmr1->isActive());
    EXPECT_TRUE(form->alamTab->DueCheck.Started());
}
