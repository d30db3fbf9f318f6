#include "GbkText.h"

#include <iconv.h>

namespace {

// Every text of these tests is one GBK can hold; anything else is a fault of the test.
QByteArray Convert(const char* to, const char* from, const QByteArray& input) {
    QByteArray output;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return output;
    output.resize(input.size() * 4 + 4);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char* out = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    const bool whole = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    output.resize(whole ? output.size() - static_cast<qsizetype>(outLeft) : 0);
    return output;
}

} // namespace

QByteArray ToGbk(const QString& text) {
    return Convert("GBK", "UTF-8", text.toUtf8());
}

QString FromGbk(const QByteArray& bytes) {
    return QString::fromUtf8(Convert("UTF-8", "GBK", bytes));
}
