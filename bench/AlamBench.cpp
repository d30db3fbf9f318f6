// The once-a-minute due check and the reminder list at 10,000 reminders. The due check runs
// with and without the (iHour, iMinute) index, so that the index's effect shows in one run.
#include "BenchMain.h"
#include "data/Clock.h"
#include "data/DbAccess.h"
#include "reminders/Alam.h"
#include "reminders/AlamTab.h"

#include <QTreeWidget>

#include <benchmark/benchmark.h>

namespace {

constexpr int kReminders = 10000;
const QDateTime kNow(QDate(2024, 7, 1), QTime(12, 0)); // a Monday

class BenchClock : public IClock {
public:
    QDateTime Now() const override { return kNow; }
};

// Every frequency, hour, minute and day spread evenly; once-only dates around today.
void fillReminders() {
    QList<SqlStatement> inserts;
    for (int i = 0; i < kReminders; ++i) {
        const int reDay = i % 4;
        const int monWeek = reDay == ReDayWeekly ? 1 + i % 7 : 1 + i % 31;
        inserts.append(
            {"insert into Alam(iHour,iMinute,iMonWeek,ReDay,AlamDate,ReMark) "
             "values(?,?,?,?,?,?)",
             {i % 24, (i * 7) % 60, monWeek, reDay, AlamDateText(kNow.date().addDays(i % 60 - 30)),
              QStringLiteral("提醒内容 %1").arg(i)}});
    }
    ExecSql(inserts);
}

void BM_DueCheck(benchmark::State& state) {
    const bool indexed = state.range(0) != 0;
    ExecSql(indexed ? "create index if not exists AlamDue on Alam (iHour, iMinute)"
                    : "drop index if exists AlamDue");
    const QDateTime minute(kNow.date(), QTime(9, 3)); // 83 daily reminders fall due
    size_t due = 0;
    for (auto _ : state)
        due = Alam().DueAt(minute).size();
    state.counters["due"] = double(due);
    state.SetLabel(indexed ? "indexed" : "no index");
    ExecSql("create index if not exists AlamDue on Alam (iHour, iMinute)");
}

void BM_LoadList(benchmark::State& state) {
    static TAlamTab tab;
    const int filter = int(state.range(0));
    for (auto _ : state)
        tab.LoadList(filter);
    state.counters["rows"] = tab.lv1->topLevelItemCount();
}

BENCHMARK(BM_DueCheck)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadList)->DenseRange(0, kAlamFilterCount - 1)->Unit(benchmark::kMillisecond);

} // namespace

TBenchSetUp BenchSetUp(const QString&) {
    static BenchClock clock;
    return {SEED_DATAFILE,
            [] {
                SetClock(&clock);
                fillReminders();
                return true;
            },
            [] {
                SetClock(nullptr);
            }};
}
