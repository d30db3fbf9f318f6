// The customer list of a shop with 100,000 customers and 15 custom fields (3 of them numeric,
// with texts that are no numbers mixed in): LoadCustomerList with its totals against SQLite alone
// stepping the same query and reading every column, measured in the same run.
#include "BenchMain.h"
#include "CustomerFile.h"
#include "customers/CustomerTab.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"

#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>

namespace {

constexpr int kCustomers = 100000;

double Milliseconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

// Steps the list's query and reads every column as text.
double RawListQuery(const QByteArray& sql) {
    const auto start = std::chrono::steady_clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2((AppDir() + "bookkeep.dat").toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr);
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW)
        for (int column = 0; column < columns; ++column)
            benchmark::DoNotOptimize(sqlite3_column_text(statement, column));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return Milliseconds(std::chrono::steady_clock::now() - start);
}

void BM_LoadCustomerListWithTotals(benchmark::State& state) {
    QTreeWidget tree;
    TCustomerTab tab(&tree);
    tab.resize(800, 500);
    tab.CreateTree();
    tab.FormShow();
    const QByteArray sql = DbAccess().GridSet().Sql().toUtf8();
    double raw = 0;
    double program = 0;
    double totals = 0; // of which the status bar's count and totals
    for (auto _ : state) {
        raw += RawListQuery(sql);
        const auto start = std::chrono::steady_clock::now();
        tab.LoadCustomerList();
        const double elapsed = Milliseconds(std::chrono::steady_clock::now() - start);
        program += elapsed;
        state.SetIterationTime(elapsed / 1000);
        const auto totalsStart = std::chrono::steady_clock::now();
        tab.ShowTotals();
        totals += Milliseconds(std::chrono::steady_clock::now() - totalsStart);
    }
    const double runs = double(state.iterations());
    state.counters["program_ms"] = program / runs;
    state.counters["raw_ms"] = raw / runs;
    state.counters["ratio"] = program / raw;
    state.counters["totals_ms"] = totals / runs;
    state.counters["rows"] = DbAccess().GridSet().RecordCount();
}

BENCHMARK(BM_LoadCustomerListWithTotals)
    ->Name("customer_list_with_totals/100000")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7);

} // namespace

TBenchSetUp BenchSetUp(const QString&) {
    return {CustomerFile(kCustomers, BENCH_DATA_DIR), {}, {}};
}
