// The history of a shop that kept 1,000,000 messages: the window "短信记录" opening on all of
// them (its query through the program's result set into its grid, the columns fitted, the
// count shown) against SQLite alone stepping the same query and reading every column, measured
// in the same run.
#include "BenchMain.h"
#include "CustomerFile.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "sms/FormSmsLog.h"
#include "sms/SmsLogGrid.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <memory>

namespace {

constexpr int kMessages = 1000000;

double Milliseconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

// Steps the window's query with its parameters and reads every column as text.
double RawHistoryQuery(const QString& sql, const SqlParams& params) {
    const auto start = std::chrono::steady_clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2((AppDir() + "bookkeep.dat").toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr);
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray text = params[i].toString().toUtf8();
        sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW)
        for (int column = 0; column < columns; ++column)
            benchmark::DoNotOptimize(sqlite3_column_text(statement, column));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return Milliseconds(std::chrono::steady_clock::now() - start);
}

// The window as "短信记录" opens it.
std::unique_ptr<TFormSmsLog> OpenWindow() {
    auto window = std::make_unique<TFormSmsLog>();
    window->resize(1200, 700);
    window->btnQueryClick();
    return window;
}

void BM_OpenHistory(benchmark::State& state) {
    // Once untimed, so that both sides find the file's pages in the system's cache.
    std::unique_ptr<TFormSmsLog> window = OpenWindow();
    const QString sql = window->grdLog->Rows().Sql();
    const SqlParams params = window->grdLog->Rows().Params();
    window.reset();
    double raw = 0;
    double program = 0;
    int rows = 0;
    for (auto _ : state) {
        raw += RawHistoryQuery(sql, params);
        const auto start = std::chrono::steady_clock::now();
        window = OpenWindow();
        const double elapsed = Milliseconds(std::chrono::steady_clock::now() - start);
        program += elapsed;
        state.SetIterationTime(elapsed / 1000);
        rows = window->grdLog->Count();
        window.reset(); // freeing the rows is not part of opening
    }
    const double runs = double(state.iterations());
    state.counters["program_ms"] = program / runs;
    state.counters["raw_ms"] = raw / runs;
    state.counters["ratio"] = program / raw;
    state.counters["rows"] = rows;
}

BENCHMARK(BM_OpenHistory)
    ->Name("sms_history_open/1000000")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

} // namespace

TBenchSetUp BenchSetUp(const QString&) {
    return {SmsLogFile(kMessages, BENCH_DATA_DIR), {}, {}};
}
