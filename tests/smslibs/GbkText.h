#pragma once

#include <QByteArray>
#include <QString>

// The GBK bytes the SMS libraries exchange, converted by the tests themselves: these tests
// load the libraries as the program does but link nothing of the program.
QByteArray ToGbk(const QString& text);
QString FromGbk(const QByteArray& bytes);
