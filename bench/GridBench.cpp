// Opening the customer grid with column fitting against stepping the same query in SQLite
// alone: fitting measures at most 50 rows, so the ratio must not grow with the row count.
#include "data/AppDir.h"
#include "data/DbAccess.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const char* const kQuery = "select 姓名, 手机号码, 备注, 新建时间 from Customer order by 新建时间";

void fillCustomers(int count) {
    ExecSql("delete from Customer");
    QList<SqlStatement> inserts;
    for (int i = 0; i < count; ++i)
        inserts.append({"insert into Customer(GUID, TypeID, 姓名, 手机号码, 备注) "
                        "values (?, 0, ?, ?, ?)",
                        {QString::number(i), QStringLiteral("客户%1").arg(i),
                         QString::number(13800000000LL + i), QStringLiteral("备注文字")}});
    ExecSql(inserts);
}

void BM_RawEngineStep(benchmark::State& state) {
    fillCustomers(int(state.range(0)));
    sqlite3* db = nullptr;
    sqlite3_open_v2(qPrintable(AppDir() + "bookkeep.dat"), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int column = 0; column < 4; ++column)
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, column));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
}

void BM_OpenGridWithFit(benchmark::State& state) {
    fillCustomers(int(state.range(0)));
    QTableView grid;
    for (auto _ : state)
        DbAccess().OpenGrid(QString::fromUtf8(kQuery), &grid, true);
}

BENCHMARK(BM_RawEngineStep)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenGridWithFit)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SetAppDir(dir.path());
    QFile::copy(SEED_DATAFILE, AppDir() + "bookkeep.dat");
    QFile::setPermissions(AppDir() + "bookkeep.dat", QFile::ReadOwner | QFile::WriteOwner);
    if (!DbAccess().Connect())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    DestroyDbAccess();
    return 0;
}
