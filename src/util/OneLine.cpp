#include "util/OneLine.h"

#include <QRegularExpression>

QString OneLine(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|[\r\n\u2028\u2029]"));
    return QString(text).replace(lineBreak, QStringLiteral(" "));
}
