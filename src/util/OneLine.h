#pragma once

#include <QString>

// The text on one line: each line break (CR LF, CR, LF, U+2028, U+2029) becomes a space.
QString OneLine(const QString& text);
