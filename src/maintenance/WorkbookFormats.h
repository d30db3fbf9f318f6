#pragma once

#include "maintenance/SheetReader.h"

// The readers of the two workbook formats behind OpenSheet.
std::unique_ptr<TSheetReader> OpenXlsxSheet(const QString& path, const TSheetLimits& limits);
std::unique_ptr<TSheetReader> OpenXlsSheet(const QString& path);

// The reasons shown when a workbook cannot be read.
inline const char kWorkbookDamaged[] = "Excel文件已损坏或不完整";
inline const char kWorkbookTooLarge[] = "Excel文件解压后过大，超出了导入的限度";
inline const char kWorkbookWithoutSheet[] = "Excel文件中没有工作表";
inline const char kCellTooLong[] = "Excel文件中有单元格的内容超过32767个字符";

// Excel's own bounds.
inline constexpr int kMaxColumns = 16384;
inline constexpr int kMaxCellChars = 32767;

[[noreturn]] void FailWorkbook(const char* reason);
