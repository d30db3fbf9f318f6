#include "customers/ExcelExport.h"

#include "controls/SortableModel.h"
#include "data/DataFiles.h"
#include "data/Exceptions.h"
#include "ui/AppTitle.h"
#include "ui/FileDialogs.h"
#include "ui/Messages.h"

#include <QFileInfo>
#include <QTableView>

#include <xlsxwriter.h>

#include <algorithm>

namespace {

constexpr double kMaxColumnWidth = 255;
// Excel holds at most this many characters in a cell; a longer text is cut there.
constexpr int kMaxCellLength = 32767;

// Excel counts column widths in characters; a Chinese character takes two.
double DisplayWidth(const QString& text) {
    double width = 0;
    for (const QChar ch : text)
        width += ch.unicode() < 0x2E80 ? 1 : 2;
    return width;
}

[[noreturn]] void FailWith(lxw_error error) {
    Fail(QString::fromUtf8(lxw_strerror(error)));
}

// Closes the workbook it holds when it goes, without saving it.
struct Workbook {
    lxw_workbook* book = nullptr;
    ~Workbook() {
        if (book)
            workbook_close(book);
    }
};

} // namespace

QString WorkbookFileName(const QString& chosen) {
    return chosen.endsWith(QStringLiteral(".xlsx")) ? chosen : chosen + QStringLiteral(".xlsx");
}

void WriteGridWorkbook(QTableView* grid, const QString& path) {
    auto* model = qobject_cast<TSortableModel*>(grid->model());
    if (!model || !model->IsOpen())
        Fail(QStringLiteral("没有可以导出的数据"));
    const int columns = model->columnCount();
    const int rows = model->rowCount();
    QList<double> widths(columns, 0);
    for (int column = 1; column < columns; ++column) {
        widths[column] = DisplayWidth(model->FieldName(column));
        for (int row = 0; row < rows; ++row)
            widths[column] = std::max(
                widths[column], DisplayWidth(model->data(model->index(row, column)).toString()));
    }

    // The workbook is written beside its name and put in place whole, readable by its owner.
    TFileReplacement replacement(path, QStringLiteral("~XL"));
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    Workbook workbook;
    workbook.book = workbook_new_opt(replacement.TempPath().toUtf8().constData(), &options);
    if (!workbook.book)
        Fail(QStringLiteral("不能创建工作簿"));
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.book, nullptr);
    for (int column = 1; column < columns; ++column)
        worksheet_set_column(sheet, lxw_col_t(column - 1), lxw_col_t(column - 1),
                             std::min(widths[column] + 2, kMaxColumnWidth), nullptr);
    for (int column = 1; column < columns; ++column)
        if (const lxw_error error =
                worksheet_write_string(sheet, 0, lxw_col_t(column - 1),
                                       model->FieldName(column).toUtf8().constData(), nullptr))
            FailWith(error);
    for (int row = 0; row < rows; ++row)
        for (int column = 1; column < columns; ++column) {
            const QByteArray text =
                model->data(model->index(row, column)).toString().left(kMaxCellLength).toUtf8();
            if (const lxw_error error = worksheet_write_string(
                    sheet, lxw_row_t(row + 1), lxw_col_t(column - 1), text.constData(), nullptr))
                FailWith(error);
        }
    const lxw_error closed = workbook_close(std::exchange(workbook.book, nullptr));
    if (closed != LXW_NO_ERROR)
        FailWith(closed);
    replacement.Commit();
}

void ExportGridToExcel(QTableView* grid) {
    const QString chosen =
        ChooseSaveFile(grid, QStringLiteral("导出Excel"), QStringLiteral("Excel文件 (*.xlsx)"));
    if (chosen.isEmpty())
        return;
    const QString path = WorkbookFileName(chosen);
    try {
        WriteGridWorkbook(grid, path);
    } catch (const std::exception& error) {
        ShowMessage(AppTitle(), QStringLiteral("操作Excel时出现错误,导出数据失败!错误信息:") +
                                    QString::fromUtf8(error.what()));
        return;
    }
    ShowMessage(AppTitle(), QStringLiteral("导出数据到") + path + QStringLiteral("成功!"));
}
