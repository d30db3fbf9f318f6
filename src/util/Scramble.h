#pragma once

#include <QByteArray>
#include <QString>

// Reversible scrambling of short texts into hexadecimal digits: hides a text from casual reading
// in a settings file or inside the program, nothing more.
//
// Single layer: two digits of a random offset, then two uppercase digits per source byte.
// Double layer: the single-layer scrambling of a random six-character inner key under the given
// key (14 digits), then the single-layer scrambling of the source under that inner key.
//
// The byte functions work on raw bytes; the QString functions take the source and the key in
// GBK, so a Chinese character counts as two bytes. An empty key scrambles without XOR.
// Unscrambling never fails: malformed input gives some text. A zero source byte comes back as
// byte 255.

QByteArray Scramble(const QByteArray& source, const QByteArray& key);
// The same from a given offset instead of a random one. An offset that would not bring every
// byte back is passed over for the next one, so the written offset may differ.
QByteArray Scramble(const QByteArray& source, const QByteArray& key, quint8 offset);
QByteArray Unscramble(const QByteArray& scrambled, const QByteArray& key);
QByteArray ScrambleWithInnerKey(const QByteArray& source, const QByteArray& key);
QByteArray UnscrambleWithInnerKey(const QByteArray& scrambled, const QByteArray& key);

QString Scramble(const QString& source, const QString& key);
QString Unscramble(const QString& scrambled, const QString& key);
QString ScrambleWithInnerKey(const QString& source, const QString& key);
QString UnscrambleWithInnerKey(const QString& scrambled, const QString& key);

// count random characters from "0"-"9" and "a"-"z".
QByteArray RandomKey(int count);

// From now on the random offsets and inner keys follow the fixed sequence of this seed instead
// of the system's generator, so that tests repeat exactly. The program itself never calls it.
void SeedScrambleRandom(quint32 seed);
