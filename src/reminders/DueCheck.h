#pragma once

#include <QDateTime>
#include <QList>

// Decides which minutes a tick of the once-a-second timer examines, so that every minute
// while the program runs is examined exactly once: at its second 0, or by the first tick
// after it when ticks came late (the last 60 minutes at most).
class TAlamDueCheck {
public:
    // Minutes before this moment's are taken as examined.
    void Start(const QDateTime& now);
    bool Started() const { return lastExamined.isValid(); }
    // The minutes not examined yet up to the current one, oldest first, each given by its
    // second 0. They count as examined from now on.
    QList<QDateTime> MinutesToExamine(const QDateTime& now);

    static constexpr int kMaxCatchUpMinutes = 60;

private:
    QDateTime lastExamined;
};

// The moment the minute of the given moment began.
QDateTime StartOfMinute(const QDateTime& moment);
