#include "reminders/DueCheck.h"

QDateTime StartOfMinute(const QDateTime& moment) {
    const QTime time = moment.time();
    return QDateTime(moment.date(), QTime(time.hour(), time.minute()));
}

void TAlamDueCheck::Start(const QDateTime& now) {
    // A start within second 0 still examines its minute.
    lastExamined = StartOfMinute(now.addSecs(-1));
}

QList<QDateTime> TAlamDueCheck::MinutesToExamine(const QDateTime& now) {
    QList<QDateTime> minutes;
    if (!Started())
        return minutes;
    const QDateTime current = StartOfMinute(now);
    if (current < lastExamined) {
        // The clock was set back: carry on from the new time.
        Start(now);
        return MinutesToExamine(now);
    }
    QDateTime minute = lastExamined.addSecs(60);
    const QDateTime earliest = current.addSecs(-60 * (kMaxCatchUpMinutes - 1));
    if (minute < earliest)
        minute = earliest;
    for (; minute <= current; minute = minute.addSecs(60))
        minutes.append(minute);
    lastExamined = current;
    return minutes;
}
