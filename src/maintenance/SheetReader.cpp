#include "maintenance/SheetReader.h"

#include "data/Exceptions.h"
#include "maintenance/WorkbookFormats.h"

#include <QDate>
#include <QFile>
#include <QLocale>

#include <cmath>

namespace {

enum class TFileKind { Zip, Compound, Other };

TFileKind KindOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("无法打开文件：") + path);
    const QByteArray head = file.read(8);
    if (head.startsWith("PK\x03\x04"))
        return TFileKind::Zip;
    if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return TFileKind::Compound;
    return TFileKind::Other;
}

// A format code without its quoted texts, escaped characters and bracketed colours or
// conditions; an elapsed-time bracket such as [h] keeps its letter.
QString FormatLetters(const QString& code) {
    QString letters;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code[i];
        if (ch == '"') {
            const qsizetype end = code.indexOf('"', i + 1);
            i = end < 0 ? code.size() : end;
        } else if (ch == '\\' || ch == '_' || ch == '*') {
            ++i;
        } else if (ch == '[') {
            const qsizetype end = code.indexOf(']', i + 1);
            const QString inner = code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1);
            if (!inner.isEmpty() && QStringLiteral("hHmMsS").contains(inner[0]))
                letters += inner;
            i = end < 0 ? code.size() : end;
        } else {
            letters += ch.toLower();
        }
    }
    return letters;
}

} // namespace

void FailWorkbook(const char* reason) {
    Fail(QString::fromUtf8(reason));
}

std::unique_ptr<TSheetReader> OpenSheet(const QString& path, const TSheetLimits& limits) {
    switch (KindOfFile(path)) {
    case TFileKind::Zip:
        return OpenXlsxSheet(path, limits);
    case TFileKind::Compound:
        return OpenXlsSheet(path);
    case TFileKind::Other:
        break;
    }
    Fail(QStringLiteral("所选文件不是Excel工作簿（.xlsx 或 .xls）"));
}

QString NumberText(double value) {
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0)
        return QString::number(qint64(value));
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

TNumberKind FormatCodeKind(const QString& code) {
    // The first section decides; the others are for negative numbers, zero and text.
    const QString letters = FormatLetters(code.section(';', 0, 0));
    const bool date = letters.contains('y') || letters.contains('d');
    const bool time = letters.contains('h') || letters.contains('s');
    if (date)
        return time ? TNumberKind::DateTime : TNumberKind::Date;
    return time ? TNumberKind::Time : TNumberKind::Number;
}

QString SerialText(double serial, TNumberKind kind, bool date1904) {
    // The last day the workbooks know, 9999-12-31.
    constexpr double kLastSerial = 2958465.0;
    if (kind == TNumberKind::Number || !std::isfinite(serial) || serial < 0 ||
        serial >= kLastSerial + 1)
        return NumberText(serial);
    const qint64 seconds = std::llround(serial * 86400.0);
    const qint64 days = seconds / 86400;
    const QTime time = QTime(0, 0).addSecs(int(seconds % 86400));
    // Day 60 of the 1900 system is the 29th of February 1900 that never was; days before it are
    // counted from the last day of 1899.
    QDate date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(days);
    else
        date = days < 61 ? QDate(1899, 12, 31).addDays(days) : QDate(1899, 12, 30).addDays(days);
    const QString dayText = date.toString(QStringLiteral("yyyy-MM-dd"));
    const QString timeText = time.toString(QStringLiteral("hh:mm:ss"));
    switch (kind) {
    case TNumberKind::Date:
        return dayText;
    case TNumberKind::DateTime:
        return dayText + ' ' + timeText;
    default:
        return timeText;
    }
}
