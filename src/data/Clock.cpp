#include "data/Clock.h"

namespace {
const IClock*& clockSlot() {
    static const IClock* clock = nullptr;
    return clock;
}
} // namespace

QDateTime Now() {
    const IClock* clock = clockSlot();
    return clock ? clock->Now() : QDateTime::currentDateTime();
}

void SetClock(const IClock* clock) {
    clockSlot() = clock;
}
