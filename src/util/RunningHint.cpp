#include "util/RunningHint.h"

#include "util/Gbk.h"

namespace {

// The longest prefix of at most byteCount bytes that holds only whole GBK characters.
QByteArray wholeCharacters(const QByteArray& gbk, int byteCount) {
    int end = 0;
    while (end < byteCount) {
        const int width = static_cast<unsigned char>(gbk[end]) >= 0x81 ? 2 : 1;
        if (end + width > byteCount)
            break;
        end += width;
    }
    return gbk.left(end);
}

} // namespace

TRunningHint::TRunningHint(const QString& hint) : hint(ToGbk(hint)) {}

QString TRunningHint::Tick() {
    if (bytes < hint.size()) {
        ++bytes;
        return FromGbk(wholeCharacters(hint, bytes));
    }
    bytes = 0;
    return QString();
}
