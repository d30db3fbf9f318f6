#include "reminders/Alam.h"

#include "controls/GridBinding.h"
#include "data/Clock.h"
#include "data/DbAccess.h"

#include <QTreeWidget>

#include <array>

namespace {

constexpr std::array<int, 5> kSnoozeMinutes = {3, 5, 10, 30, 60};

// Each number is written as Str writes it: a space in place of the sign, then the digits.
const char* const kListQuery =
    "select ID,"
    " case ReDay when 0 then '仅一次' when 1 then '每天' when 2 then '每周' else '每月' end,"
    " case ReDay"
    "  when 0 then ifnull(AlamDate,'') || ' ' || ' ' || iHour || '时' || ' ' || iMinute || '分'"
    "  when 1 then ' ' || iHour || '时' || ' ' || iMinute || '分'"
    "  when 2 then '每周' || ' ' || iMonWeek || ' ' || ' ' || iHour || '时' || ' ' || iMinute "
    "|| '分'"
    "  else '每月' || ' ' || iMonWeek || '号 ' || ' ' || iHour || '时' || ' ' || iMinute || '分'"
    " end,"
    " ReMark,"
    " case when bLook<>0 then '看过的'"
    "  when ReDay=0 and AlamDate<=?1 and ?2>iHour then '错过的' else '' end"
    " from Alam where 1=1 ";

// A once-only reminder dated day, or a weekly or monthly one whose day is day's.
const char* const kFallsOn =
    "and ((AlamDate=?3 and ReDay=0) or (ReDay=2 and iMonWeek=?4) or (ReDay=3 and iMonWeek=?5)) ";

// Unseen, once only, dated today or earlier, and its hour already over.
const char* const kMissed = "and AlamDate<=?1 and ?2>iHour and bLook=0 and ReDay=0 ";

const char* const kDueQuery =
    "select ID,ReDay,ReMark from Alam where iHour=?1 and iMinute=?2"
    " and ((AlamDate=?3 and ReDay=0) or ReDay=1 or (ReDay=2 and iMonWeek=?4)"
    " or (ReDay=3 and iMonWeek=?5)) order by ID";

QString filterFragment(int filter) {
    switch (filter) {
    case FilterToday:
    case FilterTomorrow:
        return QString::fromUtf8(kFallsOn);
    case FilterMissed:
        return QString::fromUtf8(kMissed);
    case FilterDaily:
        return QStringLiteral("and ReDay=1 ");
    case FilterWeekly:
        return QStringLiteral("and ReDay=2 ");
    case FilterMonthly:
        return QStringLiteral("and ReDay=3 ");
    default:
        return QString();
    }
}

// ?1 today, ?2 the current hour, ?3-?5 the date, ISO week-day and day of month the today and
// tomorrow filters look at.
SqlParams listParams(int filter, const QDateTime& now) {
    const QDate today = now.date();
    SqlParams params{AlamDateText(today), now.time().hour()};
    if (filter == FilterToday || filter == FilterTomorrow) {
        const QDate day = filter == FilterToday ? today : today.addDays(1);
        params << AlamDateText(day) << day.dayOfWeek() << day.day();
    }
    return params;
}

SqlParams RecordParams(const TAlamRecord& alam) {
    return {alam.iHour, alam.iMinute, alam.iMonWeek, alam.ReDay, AlamDateText(alam.AlamDate),
            alam.ReMark};
}

} // namespace

TAlam& Alam() {
    static TAlam alam;
    return alam;
}

QString AlamDateText(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString WeeklyTimeText(const QString& text) {
    static const QString numerals = QStringLiteral("一二三四五六日");
    const QString prefix = QStringLiteral("每周");
    const int at = text.indexOf(prefix);
    if (at < 0)
        return text;
    const int start = at + prefix.size();
    const QString digit = text.mid(start, 2).trimmed();
    const int day = digit.size() == 1 ? QStringLiteral("1234567").indexOf(digit) : -1;
    QString result = text;
    result.replace(start, 2, day >= 0 ? QString(numerals[day]) : QString());
    return result;
}

int SnoozeMinutes(int choice) {
    return choice >= 0 && choice < int(kSnoozeMinutes.size()) ? kSnoozeMinutes[choice] : 0;
}

void TAlam::Run(const QString& sql, const SqlParams& params) {
    Sql = sql;
    ExecSql(QList<SqlStatement>{{sql, params}});
}

void TAlam::Add(const TAlamRecord& alam) {
    Run(QStringLiteral("insert into Alam(iHour,iMinute,iMonWeek,ReDay,AlamDate,ReMark) "
                       "values(?,?,?,?,?,?)"),
        RecordParams(alam));
}

void TAlam::Update(int id, const TAlamRecord& alam) {
    Run(QStringLiteral("update Alam set iHour=?,iMinute=?,iMonWeek=?,ReDay=?,AlamDate=?,"
                       "ReMark=?,bLook=0 where ID=?"),
        RecordParams(alam) << id);
}

void TAlam::Delete(int id) {
    Run(QStringLiteral("delete from Alam where ID=?"), {id});
}

void TAlam::MarkSeen(int id) {
    Run(QStringLiteral("update Alam set bLook=-1 where ID=?"), {id});
}

void TAlam::Snooze(int id, int choice) {
    const QDateTime now = Now();
    const QDateTime moment = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute()))
                                 .addSecs(60 * SnoozeMinutes(choice));
    Run(QStringLiteral("update Alam set AlamDate=?,iHour=?,iMinute=? where ID=?"),
        {AlamDateText(moment.date()), moment.time().hour(), moment.time().minute(), id});
}

TAlamRecord TAlam::Load(int id) {
    Sql = QStringLiteral("select * from Alam where ID=?");
    TDataSet& rows = DbAccess().OpenQuery(Sql, {id});
    rows.First();
    if (rows.Eof())
        return {QDate(), QString(), ReDayOnce, 0, 0, 0};
    return {QDate::fromString(rows.AsString("AlamDate").left(10), "yyyy-MM-dd"),
            rows.AsString("ReMark"),
            rows.AsInteger("ReDay"),
            rows.AsInteger("iHour"),
            rows.AsInteger("iMinute"),
            rows.AsInteger("iMonWeek")};
}

SqlStatement TAlam::ListStatement(int filter, const QDateTime& now) {
    return {QString::fromUtf8(kListQuery) + filterFragment(filter) + QStringLiteral("order by ID"),
            listParams(filter, now)};
}

void TAlam::LoadList(QTreeWidget* listView, int filter) {
    const SqlStatement list = ListStatement(filter, Now());
    Sql = list.sql;
    FillListView(list.sql, listView, list.params);
    const QString weekly = QStringLiteral("每周");
    for (int row = 0; row < listView->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = listView->topLevelItem(row);
        if (item->text(ColFrequency) == weekly)
            item->setText(ColTime, WeeklyTimeText(item->text(ColTime)));
    }
}

QList<TDueAlam> TAlam::DueAt(const QDateTime& minute) {
    const QDate day = minute.date();
    Sql = QString::fromUtf8(kDueQuery);
    TDataSet& rows = DbAccess().OpenAuxQuery(Sql, {minute.time().hour(), minute.time().minute(),
                                                   AlamDateText(day), day.dayOfWeek(), day.day()});
    QList<TDueAlam> due;
    for (rows.First(); !rows.Eof(); rows.Next())
        due.append({rows.AsInteger(0), rows.AsInteger(1), rows.AsString(2)});
    return due;
}
