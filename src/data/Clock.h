#pragma once

#include <QDateTime>

// The program's one clock. Tests install a scripted clock instead of the wall clock.
class IClock {
public:
    virtual ~IClock() = default;
    virtual QDateTime Now() const = 0;
};

QDateTime Now();
// nullptr restores the system clock.
void SetClock(const IClock* clock);
