#include "maintenance/CustomerImport.h"

#include "customers/Customer.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "maintenance/SheetReader.h"

#include <sqlite3.h>

namespace {

// The position in the sheet's header of every field.
QList<int> ColumnsOfFields(const QStringList& header, const QStringList& fields) {
    QList<int> columns;
    for (const QString& field : fields) {
        const qsizetype column = header.indexOf(field);
        if (column < 0)
            Fail(QStringLiteral("Excel文件中没有“%1”列").arg(field));
        columns << int(column);
    }
    return columns;
}

// A failed insert of the data row numbered line, in words for the user.
[[noreturn]] void FailRow(int line, const QStringList& fields, const EDBException& error) {
    const QString engineText = error.Message();
    if (engineText.contains(QStringLiteral("CHECK constraint failed"))) {
        for (const QString& field : fields)
            if (engineText.contains(field))
                Fail(QStringLiteral("第%1条数据的“%2”内容过长，超过了该字段允许的长度")
                         .arg(line)
                         .arg(field));
        Fail(QStringLiteral("第%1条数据的内容过长，超过了字段允许的长度").arg(line));
    }
    Fail(QStringLiteral("第%1条数据不能导入：%2").arg(line).arg(engineText));
}

class TImport {
public:
    TImport(const QStringList& fields, int group) : fields(fields), group(group) {
        DbAccess().Prepare(Customer().ImportStatement(fields), insert);
        values.resize(2 + fields.size());
        values[1] = group;
    }

    void Store(const QStringList& cells, const QList<int>& columns, int line) {
        values[0] = NewGuid();
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const QString cell = columns[i] < cells.size() ? cells[columns[i]] : QString();
            values[2 + i] = cell.isEmpty() ? QVariant() : QVariant(cell);
        }
        try {
            insert.BindFrom(values, 0);
            insert.StepToEnd();
            sqlite3_reset(insert.Handle());
        } catch (const EDBException& error) {
            FailRow(line, fields, error);
        }
    }

private:
    QStringList fields;
    int group;
    TStatement insert;
    SqlParams values;
};

void RollbackQuietly() {
    try {
        DbAccess().Rollback();
    } catch (const EDBException&) {
    }
}

} // namespace

int ImportCustomers(const QString& path, const QStringList& fields, int group,
                    const std::function<void(int)>& progress) {
    const std::unique_ptr<TSheetReader> sheet = OpenSheet(path);
    QStringList header;
    if (!sheet->NextRow(header))
        Fail(QStringLiteral("Excel文件的工作表是空的，没有列名行"));
    const QList<int> columns = ColumnsOfFields(header, fields);
    DbAccess().BeginTransaction();
    int count = 0;
    try {
        TImport import(fields, group);
        QStringList cells;
        while (sheet->NextRow(cells)) {
            import.Store(cells, columns, count + 1);
            if (++count % kImportProgressRows == 0 && progress)
                progress(count);
        }
        DbAccess().Commit();
    } catch (...) {
        RollbackQuietly();
        throw;
    }
    return count;
}
