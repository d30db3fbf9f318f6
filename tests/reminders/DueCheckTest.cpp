#include "AlamTestSupport.h"
#include "app/FormMain.h"
#include "app/StartUp.h"
#include "reminders/AlamTab.h"
#include "reminders/Chime.h"
#include "reminders/FormShowAlam.h"
#include "support/AppDirTest.h"
#include "ui/FormBaseDlg.h"
#include "ui/WindowMessages.h"

#include <QButtonGroup>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QVariantAnimation>
#include <QWindow>

namespace {

QDateTime at(int y, int m, int d, int h, int min, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms));
}

class CountingChime : public IChime {
public:
    void Play() override { ++played; }
    int played = 0;
};

// Records the messages a pop-up posts.
class Receiver : public QObject {
public:
    void customEvent(QEvent* event) override {
        const auto* message = static_cast<TWindowMessage*>(event);
        received.append({int(event->type()), message->Param, message->LParam});
    }
    QList<QList<int>> received;
};

QList<TFormShowAlam*> openPopups() {
    QList<TFormShowAlam*> popups;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* popup = qobject_cast<TFormShowAlam*>(widget); popup && popup->isVisible())
            popups.append(popup);
    std::sort(popups.begin(), popups.end(), [](auto* a, auto* b) { return a->AlamId < b->AlamId; });
    return popups;
}

// A box during which the pop-ups' answers reach the main window, as they do through the event
// loop of a real modal box.
class BoxWhileAnswersArrive : public ScriptedMessageBoxes {
public:
    explicit BoxWhileAnswersArrive(QObject* mainWindow) : mainWindow(mainWindow) {}
    bool Show(const MessageBoxRequest& request) override {
        QApplication::sendPostedEvents(mainWindow);
        return ScriptedMessageBoxes::Show(request);
    }
    QObject* mainWindow;
};

void closeAllPopups() {
    for (TFormShowAlam* popup : openPopups())
        popup->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST(AlamDueCheckTest, EveryMinuteOnceAtSecondZeroLateAndDoubledTicks) {
    TAlamDueCheck check;
    EXPECT_TRUE(check.MinutesToExamine(at(2024, 7, 1, 10, 0)).isEmpty()); // not started
    check.Start(at(2024, 7, 1, 10, 0, 30));
    QList<QDateTime> examined;
    for (QDateTime tick = at(2024, 7, 1, 10, 0, 31); tick < at(2024, 7, 1, 10, 3);
         tick = tick.addSecs(1))
        examined += check.MinutesToExamine(tick);
    EXPECT_EQ(examined, QList<QDateTime>({at(2024, 7, 1, 10, 1), at(2024, 7, 1, 10, 2)}));

    // Two ticks within one second 0 examine it once.
    EXPECT_EQ(check.MinutesToExamine(at(2024, 7, 1, 10, 3, 0, 100)),
              QList<QDateTime>({at(2024, 7, 1, 10, 3)}));
    EXPECT_TRUE(check.MinutesToExamine(at(2024, 7, 1, 10, 3, 0, 900)).isEmpty());
    // A tick that skips second 0 examines the minute at once afterwards.
    EXPECT_EQ(check.MinutesToExamine(at(2024, 7, 1, 10, 4, 1)),
              QList<QDateTime>({at(2024, 7, 1, 10, 4)}));
    // A late tick also examines the minutes it missed, across midnight too.
    check.Start(at(2024, 7, 1, 23, 58, 10));
    EXPECT_EQ(
        check.MinutesToExamine(at(2024, 7, 2, 0, 1, 5)),
        QList<QDateTime>({at(2024, 7, 1, 23, 59), at(2024, 7, 2, 0, 0), at(2024, 7, 2, 0, 1)}));
    // After a long suspension only the last 60 minutes.
    const QList<QDateTime> resumed = check.MinutesToExamine(at(2024, 7, 2, 5, 0, 2));
    ASSERT_EQ(resumed.size(), 60);
    EXPECT_EQ(resumed.first(), at(2024, 7, 2, 4, 1));
    EXPECT_EQ(resumed.last(), at(2024, 7, 2, 5, 0));
    // Started within second 0, that minute is examined; a clock set back carries on from there.
    check.Start(at(2024, 7, 1, 9, 0));
    EXPECT_EQ(check.MinutesToExamine(at(2024, 7, 1, 9, 0, 0, 500)),
              QList<QDateTime>({at(2024, 7, 1, 9, 0)}));
    EXPECT_EQ(check.MinutesToExamine(at(2024, 7, 1, 8, 30)),
              QList<QDateTime>({at(2024, 7, 1, 8, 30)}));
}

class AlamPopupTest : public AppDirTest {
protected:
    void SetUp() override {
        AppDirTest::SetUp();
        SetChime(&chime);
        clock.Set(at(2024, 7, 1, 8, 14, 30)); // a Monday
        form = CreateMainWindow();
        ASSERT_NE(form, nullptr);
        form->show();
        tab = form->alamTab;
    }
    void TearDown() override {
        closeAllPopups();
        form.reset();
        DbAccess().Disconnect();
        SetChime(nullptr);
        AppDirTest::TearDown();
    }
    // Ticks once a second from now up to and including the given moment.
    void tickUntil(const QDateTime& end) {
        for (QDateTime tick = clock.now.addSecs(1); tick <= end; tick = tick.addSecs(1)) {
            clock.Set(tick);
            tab->tmr1Timer();
        }
    }
    void answer() { QApplication::sendPostedEvents(form.get()); }

    CountingChime chime;
    std::unique_ptr<TFormMain> form;
    TAlamTab* tab = nullptr;
};

TEST_F(AlamPopupTest, DueRemindersPopUpWithTheirCaptionsButtonsAndPlace) {
    const QDate monday(2024, 7, 1);
    const int daily = AddAlam(ReDayDaily, 8, 15, 1, monday, "daily text");
    const int once = AddAlam(ReDayOnce, 8, 15, 1, monday, "once text");
    AddAlam(ReDayWeekly, 8, 15, 2, monday, "Tuesdays");
    tab->DueCheck.Start(clock.now);
    tickUntil(at(2024, 7, 1, 8, 14, 59));
    EXPECT_TRUE(openPopups().isEmpty());
    tickUntil(at(2024, 7, 1, 8, 16, 30));
    const QList<TFormShowAlam*> popups = openPopups();
    ASSERT_EQ(popups.size(), 2);
    EXPECT_EQ(chime.played, 2);

    // The frame (the platform draws one) ends 2 pixels left of the screen's right edge and 27
    // above its bottom.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint corner(screen.right() - 2, screen.bottom() - 27);
    for (TFormShowAlam* popup : popups) {
        EXPECT_EQ(popup->windowTitle(), QStringLiteral("提醒"));
        EXPECT_EQ(popup->size(), QSize(292, 198));
        EXPECT_GT(popup->frameGeometry().height(), 198);
        EXPECT_EQ(popup->frameGeometry().bottomRight(), corner);
        EXPECT_EQ(popup->parent(), nullptr);
        EXPECT_FALSE(popup->isModal());
        EXPECT_TRUE(popup->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(popup->mmo1->isReadOnly());
        EXPECT_EQ(popup->rollUp->duration(), 200);
    }
    TFormShowAlam* repeating = popups[0];
    EXPECT_EQ(repeating->AlamId, daily);
    EXPECT_EQ(repeating->mmo1->toPlainText(), "daily text");
    EXPECT_EQ(repeating->btnOkSave->text(), QStringLiteral("看到了"));
    EXPECT_FALSE(repeating->btnOkDel->isVisible());
    EXPECT_FALSE(repeating->btnCon->isVisible());
    TFormShowAlam* onceOnly = popups[1];
    EXPECT_EQ(onceOnly->AlamId, once);
    EXPECT_EQ(onceOnly->btnOkSave->text(), QStringLiteral("看到了并保留"));
    EXPECT_EQ(onceOnly->btnOkDel->text(), QStringLiteral("看到了并删除"));
    EXPECT_EQ(onceOnly->btnCon->text(), QStringLiteral("再次提醒"));
    EXPECT_TRUE(onceOnly->btnOkDel->isVisible());
    QStringList menu;
    for (QAction* action : onceOnly->pm1->actions())
        menu << action->text();
    EXPECT_EQ(menu, QStringList({QStringLiteral("3分钟后再提醒"), QStringLiteral("5分钟后再提醒"),
                                 QStringLiteral("10分钟后再提醒"), QStringLiteral("30分钟后再提醒"),
                                 QStringLiteral("1小时后再提醒")}));
    // The roll-up uncovers the window from its bottom edge.
    onceOnly->rollUp->setCurrentTime(100);
    EXPECT_EQ(onceOnly->mask().boundingRect(), QRect(0, 99, 292, 99));

    // "看到了" on a repeating reminder posts nothing and leaves the table as it was.
    QTest::mouseClick(repeating->btnOkSave, Qt::LeftButton);
    answer();
    EXPECT_EQ(openPopups().size(), 1);
    EXPECT_EQ(ExecScalarSql("select count(*) from Alam where bLook=0"), 3);
    // The next day the daily reminder pops up again in its minute.
    closeAllPopups();
    tickUntil(at(2024, 7, 2, 8, 15, 0));
    ASSERT_EQ(openPopups().size(), 2);
    EXPECT_EQ(openPopups()[0]->AlamId, daily);
    EXPECT_EQ(openPopups()[1]->mmo1->toPlainText(), "Tuesdays");
}

TEST_F(AlamPopupTest, AnswersArePostedAndTheListFollows) {
    Receiver receiver;
    TFormShowAlam* popup = ShowAlamPopup(7, "x", false, &receiver);
    popup->btnOkSaveClick();
    popup = ShowAlamPopup(8, "y", false, &receiver);
    QTest::mouseClick(popup->btnOkDel, Qt::LeftButton);
    popup = ShowAlamPopup(9, "z", false, &receiver);
    popup->N301->trigger();
    QApplication::sendPostedEvents(&receiver);
    EXPECT_EQ(receiver.received, QList<QList<int>>({{0x402, 7, 0}, {0x401, 8, 0}, {0x403, 9, 3}}));
    EXPECT_TRUE(openPopups().isEmpty());

    const QDate monday(2024, 7, 1);
    const int seen = AddAlam(ReDayOnce, 9, 0, 1, monday, "keep");
    const int gone = AddAlam(ReDayOnce, 9, 0, 1, monday, "delete");
    const int later = AddAlam(ReDayOnce, 7, 0, 1, monday, "snooze");
    tab->LoadList(FilterAll);
    ShowAlamPopup(seen, "keep", false, form.get())->btnOkSaveClick();
    ShowAlamPopup(gone, "delete", false, form.get())->btnOkDelClick();
    answer();
    EXPECT_EQ(ColumnTexts(tab->lv1, ColText), QStringList({"keep", "snooze"}));
    EXPECT_EQ(ColumnTexts(tab->lv1, ColStatus),
              QStringList({QStringLiteral("看过的"), QStringLiteral("错过的")}));
    EXPECT_EQ(SeenFlag(seen), -1);
    EXPECT_EQ(ExecScalarSql("select count(*) from Alam where ID=?", {gone}), 0);

    // Snoozing reloads the list with the current filter: under "错过" the reminder leaves it.
    tab->rgAlamButtons->button(FilterMissed)->click();
    EXPECT_EQ(ColumnTexts(tab->lv1, ColText), QStringList({"snooze"}));
    clock.Set(at(2024, 7, 1, 23, 57, 40));
    ShowAlamPopup(later, "snooze", false, form.get())->N51->trigger();
    answer();
    EXPECT_EQ(tab->lv1->topLevelItemCount(), 0);
    tab->rgAlamButtons->button(FilterAll)->click();
    EXPECT_EQ(tab->lv1->topLevelItem(1)->text(ColTime), QStringLiteral("2024-07-02  0时 2分"));
    // It pops up again at 0:02 the next day.
    tab->DueCheck.Start(clock.now);
    tickUntil(at(2024, 7, 2, 0, 2, 0));
    ASSERT_EQ(openPopups().size(), 1);
    EXPECT_EQ(openPopups()[0]->AlamId, later);
    // An answer about a reminder deleted meanwhile changes nothing.
    QCoreApplication::postEvent(form.get(), new TWindowMessage(WM_ALAM_DELETE, 999));
    QCoreApplication::postEvent(form.get(), new TWindowMessage(WM_ALAM_SEEN, 999));
    answer();
    EXPECT_EQ(tab->lv1->topLevelItemCount(), 2);
}

TEST_F(AlamPopupTest, APopupOverAModalDialogCanBeAnswered) {
    Receiver receiver;
    TFormBaseDlg dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    TFormShowAlam* popup = ShowAlamPopup(5, "over a dialog", false, &receiver);
    popup->rollUp->setCurrentTime(200);
    EXPECT_EQ(popup->windowHandle()->transientParent(), dialog.windowHandle());
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {},
                      popup->btnOkSave->mapTo(popup, popup->btnOkSave->rect().center()));
    QApplication::sendPostedEvents(&receiver);
    EXPECT_EQ(receiver.received, QList<QList<int>>({{0x402, 5, 0}}));
}

TEST_F(AlamPopupTest, TheCheckStartsWhenTheMainWindowIsShownAndListsEveryReminder) {
    // The window was shown at 8:14:30: the minute 8:14 counts as passed.
    AddAlam(ReDayDaily, 8, 14, 1, QDate(2024, 7, 1), "passed");
    AddAlam(ReDayDaily, 8, 15, 1, QDate(2024, 7, 1), "due");
    tickUntil(at(2024, 7, 1, 8, 15, 10));
    ASSERT_EQ(openPopups().size(), 1);
    EXPECT_EQ(openPopups()[0]->mmo1->toPlainText(), "due");

    closeAllPopups();
    QStringList filters;
    for (QAbstractButton* button : tab->rgAlamButtons->buttons())
        filters << button->text();
    EXPECT_EQ(filters,
              QStringList({QStringLiteral("全部提醒"), QStringLiteral("今天"),
                           QStringLiteral("明天"), QStringLiteral("错过"), QStringLiteral("每天"),
                           QStringLiteral("每周"), QStringLiteral("每月")}));
    EXPECT_EQ(tab->Filter(), FilterAll);
}

TEST_F(AlamPopupTest, DeletingFromTheListFindsTheRowAgainAfterTheQuestion) {
    const QDate monday(2024, 7, 1);
    const int first = AddAlam(ReDayOnce, 9, 0, 1, monday, "first");
    const int second = AddAlam(ReDayOnce, 9, 0, 1, monday, "second");
    AddAlam(ReDayOnce, 9, 0, 1, monday, "third");
    tab->LoadList(FilterAll);
    BoxWhileAnswersArrive box(form.get());
    SetMessageBoxes(&box);

    // A snooze answered while the question is open reloads the list.
    tab->lv1->setCurrentItem(tab->lv1->topLevelItem(1));
    ShowAlamPopup(second, "second", false, form.get())->N51->trigger();
    box.AnswerNext(true);
    tab->NDelAlamClick();
    EXPECT_EQ(ColumnTexts(tab->lv1, ColText), QStringList({"first", "third"}));
    // The same reminder deleted from its pop-up meanwhile leaves no row to remove.
    tab->lv1->setCurrentItem(tab->lv1->topLevelItem(0));
    ShowAlamPopup(first, "first", false, form.get())->btnOkDelClick();
    box.AnswerNext(true);
    tab->NDelAlamClick();
    EXPECT_EQ(ColumnTexts(tab->lv1, ColText), QStringList({"third"}));
    EXPECT_EQ(ExecScalarSql("select count(*) from Alam"), 1);
    SetMessageBoxes(&boxes);
}

TEST_F(AlamPopupTest, ClosingTheMainWindowClosesEveryPopupAndEndsTheProgram) {
    ShowAlamPopup(1, "once", false, form.get());
    ShowAlamPopup(2, "daily", true, form.get());
    ASSERT_EQ(openPopups().size(), 2);
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    // Only a program that does not end gets here.
    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    QObject::connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stillRunning.start(10000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(openPopups().isEmpty());
}

TEST_F(AlamPopupTest, APopupRollsAndChimesOnlyOnItsFirstShowing) {
    TFormShowAlam* popup = ShowAlamPopup(3, "x", false, form.get());
    popup->rollUp->setCurrentTime(200);
    popup->showMinimized();
    popup->showNormal();
    EXPECT_EQ(chime.played, 1);
    EXPECT_NE(popup->rollUp->state(), QAbstractAnimation::Running);
    EXPECT_TRUE(popup->mask().isEmpty());
}

TEST(AlamChimeTest, BeepsWhereThereIsNoAudioOutput) {
    class RecordingChime : public TSoundChime {
    public:
        bool HasAudioOutput() const override { return hasOutput; }
        void PlaySound() override { played << "sound"; }
        void Beep() override { played << "beep"; }
        bool hasOutput = false;
        QStringList played;
    } chime;
    chime.Play();
    chime.hasOutput = true;
    chime.Play();
    EXPECT_EQ(chime.played, QStringList({"beep", "sound"}));
}
