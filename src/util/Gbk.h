#pragma once

#include <QByteArray>
#include <QString>

// GBK text as the program counts and exchanges it: a Chinese character is two bytes. A
// character GBK cannot hold becomes '?'.
QByteArray ToGbk(const QString& text);
// Bytes that are not valid GBK become U+FFFD.
QString FromGbk(const QByteArray& bytes);
int GbkLength(const QString& text);
// The first character of text that GBK cannot hold (an emoji, say); empty when there is none.
QString FirstCharacterOutsideGbk(const QString& text);
