#include "AlamTestSupport.h"
#include "reminders/AlamTab.h"
#include "support/DataFileTest.h"

#include <QStyleOptionViewItem>

namespace {

class AlamStoreTest : public DataFileTest {
protected:
    void SetUp() override {
        DataFileTest::SetUp();
        list.setColumnCount(5);
    }
    QStringList listed(int filter, const QDateTime& now) {
        clock.Set(now);
        Alam().LoadList(&list, filter);
        return ColumnTexts(&list, ColText);
    }
    QStringList statuses(const QDateTime& now) {
        clock.Set(now);
        Alam().LoadList(&list, FilterAll);
        return ColumnTexts(&list, ColStatus);
    }
    QTreeWidget list;
};

QDateTime at(int y, int m, int d, int h = 12, int min = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

} // namespace

TEST_F(AlamStoreTest, FiltersOnAMondayOnThe31stAndInAMonthWithoutOne) {
    const QDate july1(2024, 7, 1); // a Monday
    AddAlam(ReDayOnce, 9, 30, 1, july1, "once Mon");
    AddAlam(ReDayDaily, 8, 15, 1, july1, "daily");
    AddAlam(ReDayWeekly, 9, 0, 1, july1, "week 1");
    AddAlam(ReDayWeekly, 9, 0, 2, july1, "week 2");
    AddAlam(ReDayMonthly, 9, 0, 1, july1, "month 1");
    AddAlam(ReDayMonthly, 9, 0, 31, july1, "month 31");
    AddAlam(ReDayOnce, 9, 0, 1, QDate(2024, 7, 31), "once 7-31");
    AddAlam(ReDayOnce, 9, 0, 1, QDate(2025, 1, 1), "once 1-1");
    AddAlam(ReDayWeekly, 9, 0, 3, july1, "week 3");
    AddAlam(ReDayMonthly, 9, 0, 30, july1, "month 30");

    const QDateTime monday = at(2024, 7, 1);
    EXPECT_EQ(listed(FilterAll, monday).size(), 10);
    EXPECT_EQ(ColumnTexts(&list, ColId),
              QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(listed(FilterToday, monday), QStringList({"once Mon", "week 1", "month 1"}));
    EXPECT_EQ(listed(FilterTomorrow, monday), QStringList({"week 2"}));
    EXPECT_EQ(listed(FilterMissed, monday), QStringList({"once Mon"}));
    EXPECT_EQ(listed(FilterDaily, monday), QStringList({"daily"}));
    EXPECT_EQ(listed(FilterWeekly, monday), QStringList({"week 1", "week 2", "week 3"}));
    EXPECT_EQ(listed(FilterMonthly, monday), QStringList({"month 1", "month 31", "month 30"}));

    const QDateTime the31st = at(2024, 7, 31); // a Wednesday
    EXPECT_EQ(listed(FilterToday, the31st), QStringList({"month 31", "once 7-31", "week 3"}));
    // June has no 31st: the last of June lists the monthly reminders of the 30th only; its
    // tomorrow is a Monday and the first of July.
    const QDateTime june30 = at(2024, 6, 30);
    EXPECT_EQ(listed(FilterToday, june30), QStringList({"month 30"}));
    EXPECT_EQ(listed(FilterTomorrow, june30), QStringList({"once Mon", "week 1", "month 1"}));
    // Across the year end: 31 December 2024 is a Tuesday, 1 January 2025 a Wednesday.
    const QDateTime newYearsEve = at(2024, 12, 31);
    EXPECT_EQ(listed(FilterToday, newYearsEve), QStringList({"week 2", "month 31"}));
    EXPECT_EQ(listed(FilterTomorrow, newYearsEve), QStringList({"month 1", "once 1-1", "week 3"}));
}

TEST_F(AlamStoreTest, MissedComparesOnlyTheHourForUnseenOnceOnlyReminders) {
    const QDate today(2024, 7, 1);
    AddAlam(ReDayOnce, 9, 30, 1, today, "today 9:30");
    AddAlam(ReDayOnce, 15, 0, 1, today.addDays(-1), "yesterday 15:00");
    AddAlam(ReDayOnce, 23, 0, 1, today.addDays(-2), "earlier 23:00");
    const int seen = AddAlam(ReDayOnce, 1, 0, 1, today.addDays(-2), "seen");
    AddAlam(ReDayDaily, 0, 5, 1, today.addDays(-2), "daily");
    Alam().MarkSeen(seen);

    EXPECT_EQ(listed(FilterMissed, at(2024, 7, 1, 9, 45)), QStringList());
    EXPECT_EQ(listed(FilterMissed, at(2024, 7, 1, 10, 0)), QStringList({"today 9:30"}));
    EXPECT_EQ(listed(FilterMissed, at(2024, 7, 1, 15, 59)), QStringList({"today 9:30"}));
    EXPECT_EQ(listed(FilterMissed, at(2024, 7, 1, 16, 0)),
              QStringList({"today 9:30", "yesterday 15:00"}));
    EXPECT_EQ(listed(FilterMissed, at(2024, 7, 1, 23, 59)),
              QStringList({"today 9:30", "yesterday 15:00"}));
    EXPECT_EQ(statuses(at(2024, 7, 1, 16, 0)),
              QStringList({QStringLiteral("错过的"), QStringLiteral("错过的"), "",
                           QStringLiteral("看过的"), ""}));
    EXPECT_EQ(statuses(at(2024, 7, 1, 9, 59)),
              QStringList({"", "", "", QStringLiteral("看过的"), ""}));
}

TEST_F(AlamStoreTest, TimeTextsWeeklyNumeralsAndRowColours) {
    const QDate day(2024, 5, 1);
    AddAlam(ReDayOnce, 9, 30, 1, day, "a");
    AddAlam(ReDayDaily, 9, 30, 1, day, "b");
    AddAlam(ReDayWeekly, 9, 0, 3, day, "c");
    AddAlam(ReDayMonthly, 9, 30, 15, day, "d");
    AddAlam(ReDayDaily, 0, 5, 1, day, "e");
    for (int weekDay = 1; weekDay <= 7; ++weekDay)
        AddAlam(ReDayWeekly, 23, 59, weekDay, day, "w");
    listed(FilterAll, at(2024, 4, 1));
    EXPECT_EQ(ColumnTexts(&list, ColTime).mid(0, 5),
              QStringList({QStringLiteral("2024-05-01  9时 30分"), QStringLiteral(" 9时 30分"),
                           QStringLiteral("每周三  9时 0分"), QStringLiteral("每月 15号  9时 30分"),
                           QStringLiteral(" 0时 5分")}));
    QStringList weekly;
    for (const QChar numeral : QStringLiteral("一二三四五六日"))
        weekly << QStringLiteral("每周%1  23时 59分").arg(numeral);
    EXPECT_EQ(ColumnTexts(&list, ColTime).mid(5), weekly);
    EXPECT_EQ(ColumnTexts(&list, ColFrequency).mid(0, 5),
              QStringList({QStringLiteral("仅一次"), QStringLiteral("每天"), QStringLiteral("每周"),
                           QStringLiteral("每月"), QStringLiteral("每天")}));
    EXPECT_EQ(WeeklyTimeText(QStringLiteral("每周 8  9时 0分")), QStringLiteral("每周  9时 0分"));

    // Each row is drawn in its frequency's colour; a daily row keeps the list's own.
    TAlamListDelegate delegate;
    const QColor normal = list.palette().color(QPalette::Text);
    const QColor expected[] = {QColor(255, 0, 0), normal, QColor(0, 128, 0), QColor(0, 0, 255),
                               normal};
    for (int row = 0; row < 5; ++row)
        for (int column = ColFrequency; column <= ColStatus; ++column) {
            QStyleOptionViewItem option;
            option.initFrom(&list);
            delegate.initStyleOption(&option, list.model()->index(row, column));
            EXPECT_EQ(option.palette.color(QPalette::Text), expected[row]) << row;
        }
}

TEST_F(AlamStoreTest, SnoozeMovesTheMomentAcrossMidnightAndTheYearEnd) {
    const int id = AddAlam(ReDayOnce, 23, 50, 4, QDate(2024, 7, 1), "snooze me");
    Alam().MarkSeen(id);
    TAlamRecord alam;
    const auto snoozed = [&](const QDateTime& now, int choice) {
        clock.Set(now);
        Alam().Snooze(id, choice);
        alam = Alam().Load(id);
        return QDateTime(alam.AlamDate, QTime(alam.iHour, alam.iMinute));
    };
    EXPECT_EQ(snoozed(at(2024, 7, 1, 23, 58), 1), at(2024, 7, 2, 0, 3));
    EXPECT_EQ(snoozed(at(2024, 12, 31, 23, 30), 4), at(2025, 1, 1, 0, 30));
    EXPECT_EQ(snoozed(at(2024, 7, 1, 10, 0, 45), 0), at(2024, 7, 1, 10, 3));
    EXPECT_EQ(snoozed(at(2024, 7, 1, 10, 0), 2), at(2024, 7, 1, 10, 10));
    EXPECT_EQ(snoozed(at(2024, 7, 1, 10, 0), 3), at(2024, 7, 1, 10, 30));
    // Frequency, day, text and the seen flag stay.
    EXPECT_EQ(alam.ReDay, ReDayOnce);
    EXPECT_EQ(alam.iMonWeek, 4);
    EXPECT_EQ(alam.ReMark, "snooze me");
    EXPECT_EQ(SeenFlag(id), -1);
}

TEST_F(AlamStoreTest, UpdateDeleteLoadAndTextsStoredExactly) {
    const QString longText(10000, QChar(0x6587));
    const QStringList texts = {"it's", "a@#@b", "line\nbreak", longText};
    QList<int> ids;
    for (const QString& text : texts)
        ids << AddAlam(ReDayOnce, 1, 2, 3, QDate(2024, 7, 1), text);
    EXPECT_EQ(SeenFlag(ids[0]), 0);
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(Alam().Load(ids[i]).ReMark, texts[i]);
    listed(FilterAll, at(2024, 7, 1));
    EXPECT_EQ(ColumnTexts(&list, ColText), texts);

    Alam().MarkSeen(ids[0]);
    EXPECT_EQ(SeenFlag(ids[0]), -1);
    Alam().Update(ids[0], {QDate(2025, 2, 28), "changed", ReDayMonthly, 23, 59, 31});
    EXPECT_EQ(SeenFlag(ids[0]), 0);
    TAlamRecord alam = Alam().Load(ids[0]);
    EXPECT_EQ(QList<int>({alam.ReDay, alam.iHour, alam.iMinute, alam.iMonWeek}),
              QList<int>({3, 23, 59, 31}));
    EXPECT_EQ(alam.AlamDate, QDate(2025, 2, 28));
    EXPECT_EQ(ExecScalarSql("select count(*) from Alam where AlamDate='2025-02-28'"), 1);

    Alam().Delete(ids[1]);
    EXPECT_EQ(ExecScalarSql("select count(*) from Alam"), 3);
    alam = Alam().Load(ids[1]);
    EXPECT_EQ(QList<int>({alam.ReDay, alam.iHour, alam.iMinute, alam.iMonWeek}),
              QList<int>({0, 0, 0, 0}));
    EXPECT_TRUE(alam.ReMark.isEmpty());
    EXPECT_TRUE(alam.AlamDate.isNull());
}

TEST_F(AlamStoreTest, DueRemindersOfAMinuteWithAndWithoutTheIndex) {
    const QDate monday(2024, 7, 1);
    AddAlam(ReDayDaily, 8, 15, 1, monday.addDays(-9), "daily");
    AddAlam(ReDayWeekly, 8, 15, 1, monday, "Mondays");
    AddAlam(ReDayMonthly, 8, 15, 31, monday, "31st");
    AddAlam(ReDayOnce, 8, 15, 1, monday, "once Mon");
    AddAlam(ReDayOnce, 8, 15, 1, monday.addDays(1), "once Tue");
    AddAlam(ReDayDaily, 8, 16, 1, monday, "other minute");
    const auto due = [](const QDateTime& minute) {
        QStringList texts;
        for (const TDueAlam& alam : Alam().DueAt(minute))
            texts << alam.Remark;
        return texts;
    };
    EXPECT_EQ(ExecScalarSql("select count(*) from sqlite_master where name='AlamDue'"), 1);
    for (bool indexed : {true, false}) {
        if (!indexed)
            ExecSql("drop index AlamDue");
        EXPECT_EQ(due(at(2024, 7, 1, 8, 15)), QStringList({"daily", "Mondays", "once Mon"}));
        EXPECT_EQ(due(at(2024, 7, 8, 8, 15)), QStringList({"daily", "Mondays"}));
        EXPECT_EQ(due(at(2024, 7, 31, 8, 15)), QStringList({"daily", "31st"}));
        EXPECT_EQ(due(at(2024, 6, 30, 8, 15)), QStringList({"daily"}));
        EXPECT_EQ(due(at(2024, 7, 1, 8, 16)), QStringList({"other minute"}));
    }
    const QList<TDueAlam> rows = Alam().DueAt(at(2024, 7, 1, 8, 15));
    EXPECT_EQ(rows[0].ReDay, ReDayDaily);
    EXPECT_EQ(rows[2].ReDay, ReDayOnce);
}
