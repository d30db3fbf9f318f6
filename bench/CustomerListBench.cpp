// The customer list of a shop with 100,000 customers and 15 custom fields (3 of them numeric,
// with texts that are no numbers mixed in): LoadCustomerList with its totals against SQLite alone
// stepping the same query and reading every column, measured in the same run.
#include "customers/CustomerTab.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "data/ProgramLock.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>

namespace {

constexpr int kCustomers = 100000;
constexpr int kFields = 15;
constexpr int kNumericFields = 3;
constexpr int kGroups = 50;

QString FieldName(int field) {
    return QStringLiteral("字段%1").arg(field + 1);
}

void Exec(sqlite3* db, const QByteArray& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "bench: %s\n", error);
        std::exit(1);
    }
}

// Fills the data file with the groups, the field definitions and the customers.
void Generate(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8(), &db);
    Exec(db, "begin");
    for (int group = 1; group <= kGroups; ++group)
        Exec(db, QStringLiteral("insert into CustomerType values (%1, 0, '分组%1')")
                     .arg(group)
                     .toUtf8());
    QString columns;
    QString marks;
    for (int field = 0; field < kFields; ++field) {
        const int kind = field < kNumericFields ? 4 : 0;
        Exec(db, ("alter table Customer add " + QuoteIdent(FieldName(field)) + " varchar(100)")
                     .toUtf8());
        Exec(db, QStringLiteral("insert into AppTitle(TitleName, TitleType) values ('%1', %2)")
                     .arg(FieldName(field))
                     .arg(kind)
                     .toUtf8());
        columns += ", " + QuoteIdent(FieldName(field));
        marks += ", ?";
    }
    sqlite3_stmt* insert = nullptr;
    const QByteArray sql = ("insert into Customer(GUID, TypeID, 姓名, 手机号码, 备注" + columns +
                            ") values (?, ?, ?, ?, ?" + marks + ")")
                               .toUtf8();
    sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr);
    for (int i = 0; i < kCustomers; ++i) {
        const QByteArray texts[] = {QByteArray::number(i).rightJustified(36, '0'),
                                    QByteArray("客户") + QByteArray::number(i),
                                    QByteArray::number(13800000000LL + i),
                                    QByteArray("老客户，常来")};
        sqlite3_bind_text(insert, 1, texts[0].constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 2, i % (kGroups + 1));
        for (int t = 1; t < 4; ++t)
            sqlite3_bind_text(insert, t + 2, texts[t].constData(), -1, SQLITE_TRANSIENT);
        for (int field = 0; field < kFields; ++field) {
            const QByteArray value =
                field < kNumericFields
                    ? (i % 10 == 0 ? QByteArray("待定") : QByteArray::number(i % 1000) + ".25")
                    : QByteArray("城市") + QByteArray::number(i % 97);
            sqlite3_bind_text(insert, 6 + field, value.constData(), -1, SQLITE_TRANSIENT);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "commit");
    sqlite3_close(db);
}

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
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SetAppDir(dir.path());
    QFile::copy(SEED_DATAFILE, AppDir() + "bookkeep.dat");
    QFile::setPermissions(AppDir() + "bookkeep.dat", QFile::ReadOwner | QFile::WriteOwner);
    Generate(AppDir() + "bookkeep.dat");
    if (!LockProgramFolder() || !DbAccess().Connect())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    DestroyDbAccess();
    UnlockProgramFolder();
    return 0;
}
