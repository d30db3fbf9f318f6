#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include "data/DataSet.h"

class QTreeWidget;

// How often a reminder fires (the ReDay column).
enum TReDay { ReDayOnce = 0, ReDayDaily = 1, ReDayWeekly = 2, ReDayMonthly = 3 };

// The main window's filter buttons, in their order.
enum TAlamFilter {
    FilterAll,
    FilterToday,
    FilterTomorrow,
    FilterMissed,
    FilterDaily,
    FilterWeekly,
    FilterMonthly
};
constexpr int kAlamFilterCount = 7;

// The columns of the reminder list.
enum TAlamColumn { ColId, ColFrequency, ColTime, ColText, ColStatus };

// One reminder the due check found.
struct TDueAlam {
    int Id = 0;
    int ReDay = 0;
    QString Remark;
};

// One reminder as it is stored, its ID aside.
struct TAlamRecord {
    QDate AlamDate; // only a once-only reminder's counts
    QString ReMark;
    int ReDay = ReDayOnce;
    int iHour = 0;
    int iMinute = 0;
    int iMonWeek = 1;
};

// Owns every statement on the table Alam.
class TAlam {
public:
    void Add(const TAlamRecord& alam);
    // Also clears the seen flag.
    void Update(int id, const TAlamRecord& alam);
    void Delete(int id);
    // A missing reminder gives zeros, an empty text and a null date.
    TAlamRecord Load(int id);
    void MarkSeen(int id);
    // Moves the reminder to now + 3, 5, 10, 30 or 60 minutes (choice 0-4), seconds dropped.
    void Snooze(int id, int choice);

    // Fills the list under one of the seven filters, rows in ascending ID.
    void LoadList(QTreeWidget* listView, int filter);
    // The reminders that fall due in the minute that starts at the given moment.
    QList<TDueAlam> DueAt(const QDateTime& minute);

    // The statement and parameters of the list under a filter, as of the given moment.
    static SqlStatement ListStatement(int filter, const QDateTime& now);

    QString Sql; // the last statement built

private:
    void Run(const QString& sql, const SqlParams& params);
};

TAlam& Alam();

// The stored form of a reminder's date: "YYYY-MM-DD".
QString AlamDateText(const QDate& date);
// The two characters after "每周" (a space and the week-day digit) become the Chinese numeral
// 一…日; anything else there is dropped.
QString WeeklyTimeText(const QString& text);
// Minutes a snooze choice postpones by; 0 for a choice outside 0-4.
int SnoozeMinutes(int choice);
