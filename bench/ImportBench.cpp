// Importing a workbook of 100,000 customers by 15 columns (姓名, 手机号码 as a number, 13 custom
// fields) against its two limits, measured in the same run: our sheet reader alone, and the
// prepared inserts of the same rows alone in SQLite. Each case reports the process's peak
// memory so far; the import runs first, so its figure is its own.
#include "BenchMain.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "maintenance/CustomerImport.h"
#include "maintenance/SheetReader.h"

#include <QFile>
#include <QUuid>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace {

constexpr int kRows = 100000;
constexpr int kCustomFields = 13;

QString workbookPath;
QStringList fields;

QString FieldName(int field) {
    return QStringLiteral("字段%1").arg(field + 1);
}

// Writes the workbook in a child process, so its memory does not count in the figures.
bool WriteWorkbook(const QString& path) {
    const pid_t child = fork();
    if (child == 0) {
        lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        for (int column = 0; column < fields.size(); ++column)
            worksheet_write_string(sheet, 0, column, fields[column].toUtf8().constData(), nullptr);
        for (int row = 1; row <= kRows; ++row) {
            worksheet_write_string(sheet, row, 0,
                                   QStringLiteral("客户%1").arg(row).toUtf8().constData(), nullptr);
            worksheet_write_number(sheet, row, 1, 13800000000.0 + row, nullptr);
            for (int field = 0; field < kCustomFields; ++field) {
                if (field % 4 == 3)
                    worksheet_write_number(sheet, row, 2 + field, row * 0.25 + field, nullptr);
                else
                    worksheet_write_string(
                        sheet, row, 2 + field,
                        QStringLiteral("值%1-%2").arg(row % 5000).arg(field).toUtf8().constData(),
                        nullptr);
            }
        }
        _exit(workbook_close(book) == LXW_NO_ERROR ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void AddFields() {
    QList<SqlStatement> statements;
    for (int field = 0; field < kCustomFields; ++field) {
        const QString column = QuoteIdent(FieldName(field));
        statements.append({"alter table Customer add " + column + " varchar(100) check (length(" +
                               column + ") <= 100)",
                           {}});
        statements.append(
            {"insert into AppTitle(TitleName, TitleType) values (?, 0)", {FieldName(field)}});
    }
    ExecSql(statements);
}

void ReportPeakMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}

void BM_ImportCustomers(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ImportCustomers(workbookPath, fields, 0));
        state.PauseTiming();
        ExecSql("delete from Customer");
        state.ResumeTiming();
    }
    ReportPeakMemory(state);
}

void BM_SheetReaderAlone(benchmark::State& state) {
    for (auto _ : state) {
        const std::unique_ptr<TSheetReader> sheet = OpenSheet(workbookPath);
        QStringList cells;
        int rows = 0;
        while (sheet->NextRow(cells))
            ++rows;
        benchmark::DoNotOptimize(rows);
    }
    ReportPeakMemory(state);
}

// The same rows, read beforehand, put in with one prepared insert in one transaction on a
// second copy of the data file; the GUIDs are made beforehand too.
void BM_PreparedInsertsAlone(benchmark::State& state) {
    QList<QList<QByteArray>> rows;
    {
        const std::unique_ptr<TSheetReader> sheet = OpenSheet(workbookPath);
        QStringList cells;
        sheet->NextRow(cells);
        while (sheet->NextRow(cells)) {
            QList<QByteArray> row = {
                QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toUtf8()};
            for (const QString& cell : cells)
                row << cell.toUtf8();
            rows << row;
        }
    }
    const QString copy = AppDir() + "raw.dat";
    QFile::remove(copy);
    BackupDatabase(copy);
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(copy).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "pragma journal_mode = delete", nullptr, nullptr, nullptr);
    QString sql = "insert into Customer(GUID, TypeID";
    for (const QString& field : fields)
        sql += ", " + QuoteIdent(field);
    sql += ") values (?, 0" + QString(", ?").repeated(fields.size()) + ")";
    for (auto _ : state) {
        sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &insert, nullptr);
        for (const QList<QByteArray>& row : rows) {
            sqlite3_bind_text(insert, 1, row[0].constData(), int(row[0].size()), SQLITE_STATIC);
            for (int column = 1; column < row.size(); ++column)
                sqlite3_bind_text(insert, column + 1, row[column].constData(),
                                  int(row[column].size()), SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
        state.PauseTiming();
        sqlite3_exec(db, "delete from Customer", nullptr, nullptr, nullptr);
        state.ResumeTiming();
    }
    sqlite3_close(db);
    ReportPeakMemory(state);
}

BENCHMARK(BM_ImportCustomers)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SheetReaderAlone)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PreparedInsertsAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

TBenchSetUp BenchSetUp(const QString& folder) {
    fields = QStringList{QStringLiteral("姓名"), QStringLiteral("手机号码")};
    for (int field = 0; field < kCustomFields; ++field)
        fields << FieldName(field);
    workbookPath = folder + "customers.xlsx";
    // Written before the application starts its threads, as the child is forked.
    const bool written = WriteWorkbook(workbookPath);
    return {SEED_DATAFILE,
            [written] {
                if (written)
                    AddFields();
                return written;
            },
            {}};
}
