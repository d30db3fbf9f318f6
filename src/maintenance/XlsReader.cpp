// The .xls (Excel 97-2003) reader on FreeXL.
#include "data/Exceptions.h"
#include "maintenance/WorkbookFormats.h"

#include <QFile>

#include <freexl.h>

namespace {

QString FreeXlReason(int code) {
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("Excel文件不存在或不能读取");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("内存不足，不能读取Excel文件");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QString::fromUtf8(kWorkbookWithoutSheet);
    case FREEXL_UNSUPPORTED_CHARSET:
    case FREEXL_INVALID_CHARACTER:
        return QStringLiteral("Excel文件中有无法识别的文字编码");
    default:
        return QString::fromUtf8(kWorkbookDamaged) + QStringLiteral("（错误代码 %1）").arg(code);
    }
}

void Check(int code) {
    if (code != FREEXL_OK)
        Fail(FreeXlReason(code));
}

// The first sheet of an .xls workbook; FreeXL holds the workbook in memory.
class TXlsSheet : public TSheetReader {
public:
    explicit TXlsSheet(const QString& path) {
        const void* opened = nullptr;
        Check(freexl_open(QFile::encodeName(path).constData(), &opened));
        handle = opened;
        try {
            ReadLayout();
        } catch (...) {
            freexl_close(handle);
            throw;
        }
    }
    ~TXlsSheet() override { freexl_close(handle); }
    TXlsSheet(const TXlsSheet&) = delete;
    TXlsSheet& operator=(const TXlsSheet&) = delete;

    bool NextRow(QStringList& cells) override {
        while (row < rows) {
            if (ReadRow(row++, cells))
                return true;
        }
        return false;
    }

private:
    // Refuses a protected workbook or one without sheets, and selects the first sheet.
    void ReadLayout() {
        unsigned int protection = 0;
        if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &protection) == FREEXL_OK &&
            protection == FREEXL_BIFF_OBFUSCATED)
            Fail(QStringLiteral("Excel文件设有密码保护，不能读取"));
        unsigned int sheets = 0;
        Check(freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets));
        if (sheets == 0)
            FailWorkbook(kWorkbookWithoutSheet);
        Check(freexl_select_active_worksheet(handle, 0));
        Check(freexl_worksheet_dimensions(handle, &rows, &columns));
    }

    bool ReadRow(unsigned int index, QStringList& cells) const {
        cells.clear();
        bool any = false;
        for (unsigned short column = 0; column < columns; ++column) {
            const QString text = CellText(index, column);
            cells.append(text);
            any = any || !text.isEmpty();
        }
        return any;
    }

    QString CellText(unsigned int index, unsigned short column) const {
        FreeXL_CellValue cell;
        Check(freexl_get_cell_value(handle, index, column, &cell));
        switch (cell.type) {
        case FREEXL_CELL_INT:
            return QString::number(cell.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return NumberText(cell.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return cell.value.text_value ? QString::fromUtf8(cell.value.text_value) : QString();
        default:
            return QString();
        }
    }

    const void* handle = nullptr;
    unsigned int rows = 0;
    unsigned short columns = 0;
    unsigned int row = 0;
};

} // namespace

std::unique_ptr<TSheetReader> OpenXlsSheet(const QString& path) {
    return std::make_unique<TXlsSheet>(path);
}
