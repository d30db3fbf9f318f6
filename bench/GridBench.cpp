// The customer list at shop scale: opening, sorting, totals, memory and freeing of the program's
// result sets, each against the raw engine doing the same work in the same run.
#include "BenchMain.h"
#include "CustomerFile.h"
#include "controls/GridBinding.h"
#include "controls/VoskDBGrid.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <typename Work> double TimeOf(Work&& work) {
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Times of the program and of the raw engine, one pair per iteration.
struct Pairs {
    std::vector<double> program;
    std::vector<double> raw;

    void Add(benchmark::State& state, double programMs, double rawMs) {
        program.push_back(programMs);
        raw.push_back(rawMs);
        state.SetIterationTime(programMs / 1000);
    }
    void Report(benchmark::State& state) const {
        state.counters["prog_ms"] = Median(program);
        state.counters["raw_ms"] = Median(raw);
        state.counters["ratio"] = Median(program) / Median(raw);
    }
};

size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The raw engine on its own read-only connection to the same file.
class RawEngine {
public:
    ~RawEngine() { sqlite3_close(db); }
    void Open(const QString& path) {
        sqlite3_close(db);
        sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr);
    }

    // Steps the query reading every column as text; returns the bytes of the texts.
    size_t StepAsText(const QString& sql) {
        sqlite3_stmt* stmt = Prepare(sql);
        const int columns = sqlite3_column_count(stmt);
        size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int column = 0; column < columns; ++column) {
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, column));
                bytes += size_t(sqlite3_column_bytes(stmt, column));
            }
        sqlite3_finalize(stmt);
        return bytes;
    }

    // Steps the query adding up every column with strtod.
    double SumWithStrtod(const QString& sql) {
        sqlite3_stmt* stmt = Prepare(sql);
        const int columns = sqlite3_column_count(stmt);
        double total = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int column = 0; column < columns; ++column)
                if (const auto* text =
                        reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)))
                    total += std::strtod(text, nullptr);
        sqlite3_finalize(stmt);
        return total;
    }

private:
    sqlite3_stmt* Prepare(const QString& sql) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql.toUtf8(), -1, &stmt, nullptr);
        return stmt;
    }

    sqlite3* db = nullptr;
};

RawEngine& Raw() {
    static RawEngine raw;
    return raw;
}

TVoskDBGrid& Grid() {
    static TVoskDBGrid* grid = [] {
        auto* created = new TVoskDBGrid;
        created->resize(1200, 700);
        created->show();
        return created;
    }();
    return *grid;
}

// Connects the program and the raw engine to the file of count customers.
void UseCustomers(int count) {
    static int connected = 0;
    if (connected == count)
        return;
    const QString file = CustomerFile(count, BENCH_DATA_DIR);
    DbAccess().Disconnect();
    QFile::remove(AppDir() + "bookkeep.dat");
    QFile::link(file, AppDir() + "bookkeep.dat");
    if (!DbAccess().Connect())
        std::abort();
    Raw().Open(file);
    connected = count;
}

void OpenTheList() {
    OpenGrid(CustomerListQuery(), &Grid(), true);
    Grid().viewport()->repaint();
}

void BM_OpenGrid(benchmark::State& state) {
    UseCustomers(int(state.range(0)));
    Pairs pairs;
    for (auto _ : state) {
        GridSource();
        const double program = TimeOf(OpenTheList);
        pairs.Add(state, program, TimeOf([] { Raw().StepAsText(CustomerListQuery()); }));
    }
    pairs.Report(state);
}

void BM_SortByName(benchmark::State& state) {
    UseCustomers(int(state.range(0)));
    const int nameColumn = 2;
    Pairs pairs;
    for (auto _ : state) {
        OpenTheList();
        const double program = TimeOf([&] {
            Grid().TitleClick(nameColumn);
            Grid().viewport()->repaint();
        });
        pairs.Add(state, program, TimeOf([] { Raw().StepAsText(CustomerListQuery("姓名")); }));
    }
    pairs.Report(state);
}

// What the status bar's totals do: each numeric field resolved once, then every row walked.
double ProgramTotals() {
    TDataSet& rows = DbAccess().GridSet();
    double all = 0;
    for (const QString& name : NumericFieldNames()) {
        const int field = rows.FieldIndex(name);
        double total = 0;
        for (rows.First(); !rows.Eof(); rows.Next()) {
            double number = 0;
            if (rows.AsNumber(field, number))
                total += number;
        }
        all += total;
    }
    return all;
}

void BM_NumericTotals(benchmark::State& state) {
    UseCustomers(int(state.range(0)));
    OpenTheList();
    const QString columns = "select " + NumericFieldNames().join(',') +
                            " from Customer a, CustomerType b where a.TypeID=b.SelfIndex";
    Pairs pairs;
    for (auto _ : state) {
        double program = 0;
        const double programMs = TimeOf([&] { program = ProgramTotals(); });
        double raw = 0;
        pairs.Add(state, programMs, TimeOf([&] { raw = Raw().SumWithStrtod(columns); }));
        if (std::abs(program - raw) > 1e-6 * std::abs(raw))
            state.SkipWithError("the totals differ from the raw engine's");
    }
    pairs.Report(state);
}

void BM_MemoryHeld(benchmark::State& state) {
    UseCustomers(int(state.range(0)));
    for (auto _ : state) {
        GridSource();
        const size_t before = HeapInUse();
        const double program = TimeOf(OpenTheList);
        const double held = double(HeapInUse() - before);
        const double text = double(Raw().StepAsText(CustomerListQuery()));
        state.SetIterationTime(program / 1000);
        state.counters["held_MB"] = held / 1e6;
        state.counters["text_MB"] = text / 1e6;
        state.counters["ratio"] = held / text;
    }
}

void BM_FreeOnNextOpen(benchmark::State& state) {
    UseCustomers(int(state.range(0)));
    std::vector<double> times;
    for (auto _ : state) {
        OpenTheList();
        times.push_back(TimeOf([] { GridSource(); }));
        state.SetIterationTime(times.back() / 1000);
    }
    state.counters["free_ms"] = Median(times);
}

void Register(const char* name, void (*run)(benchmark::State&), int count, int repetitions) {
    benchmark::RegisterBenchmark(name, run)
        ->Arg(count)
        ->Iterations(repetitions)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

} // namespace

TBenchSetUp BenchSetUp(const QString&) {
    for (const auto& [count, repetitions] : {std::pair{10000, 11}, {100000, 5}, {1000000, 3}}) {
        Register("open_grid", BM_OpenGrid, count, repetitions);
        Register("sort_by_name", BM_SortByName, count, repetitions);
        Register("numeric_totals", BM_NumericTotals, count, repetitions);
        Register("memory_held", BM_MemoryHeld, count, 1);
        Register("free_on_next_open", BM_FreeOnNextOpen, count, repetitions);
    }
    return {QString(), {}, [] {
                delete &Grid();
            }};
}
