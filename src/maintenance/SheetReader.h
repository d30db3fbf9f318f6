#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// The first sheet of a workbook, row by row. Every value arrives as text the way a user typed
// it: numbers in their shortest decimal form (a mobile number stored as a number stays
// 13912345678), dates as YYYY-MM-DD, booleans as 1 or 0. Rows without any value are skipped.
// Damaged, foreign or oversized input raises EUserError with the reason for the user.
class TSheetReader {
public:
    virtual ~TSheetReader() = default;
    // The next row holding a value: its cells by column, an empty text for an empty cell. False
    // after the last row.
    virtual bool NextRow(QStringList& cells) = 0;
};

// Bounds on what a workbook may unpack to, so a crafted file cannot exhaust memory or time.
struct TSheetLimits {
    qint64 sheetBytes = qint64(1) << 30;          // the sheet's XML
    qint64 sharedStringBytes = qint64(256) << 20; // the shared strings' XML
    qint64 partBytes = qint64(16) << 20;          // every other part read (workbook, styles, links)
};

// Opens the first sheet, in the workbook's own order, of the .xlsx or .xls file at path; the
// kind is told by the file's first bytes, not by its name.
std::unique_ptr<TSheetReader> OpenSheet(const QString& path, const TSheetLimits& limits = {});

// A number as the shortest decimal text that reads back as the same number, never with an
// exponent: 13912345678, 12.5, 0.1.
QString NumberText(double value);

// What a cell's number format makes of its number.
enum class TNumberKind { Number, Date, DateTime, Time };
// The kind a number format code (such as "yyyy/m/d" or "0.00") shows its number as.
TNumberKind FormatCodeKind(const QString& code);
// A serial day number of a workbook as the format shows it: "2024-03-15", "2024-03-15 09:30:00"
// or "09:30:00". A number outside the calendar stays a number.
QString SerialText(double serial, TNumberKind kind, bool date1904);
