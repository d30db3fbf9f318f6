#include "util/Gbk.h"

#include <QList>

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

// Converts with iconv; an input sequence the target cannot hold is replaced and skipped.
QByteArray convert(const char* to, const char* from, const QByteArray& input, int badInputStep,
                   const QByteArray& replacement) {
    QByteArray output;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return output;
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[1024];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<qsizetype>(out - buffer));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: replace the offending input and go on after it.
        output.append(replacement);
        const size_t step = std::min(inLeft, static_cast<size_t>(badInputStep));
        in += step;
        inLeft -= step;
    }
    iconv_close(cd);
    return output;
}

} // namespace

QByteArray ToGbk(const QString& text) {
    // UTF-32 input lets an unconvertible character be skipped as one unit of four bytes.
    QByteArray utf32;
    const QList<uint> codePoints = text.toUcs4();
    utf32.resize(codePoints.size() * 4);
    for (qsizetype i = 0; i < codePoints.size(); ++i) {
        const uint c = codePoints[i];
        utf32[i * 4] = static_cast<char>(c & 0xFF);
        utf32[i * 4 + 1] = static_cast<char>((c >> 8) & 0xFF);
        utf32[i * 4 + 2] = static_cast<char>((c >> 16) & 0xFF);
        utf32[i * 4 + 3] = static_cast<char>((c >> 24) & 0xFF);
    }
    return convert("GBK", "UTF-32LE", utf32, 4, "?");
}

QString FromGbk(const QByteArray& bytes) {
    return QString::fromUtf8(convert("UTF-8", "GBK", bytes, 1, "\xEF\xBF\xBD"));
}

int GbkLength(const QString& text) {
    return static_cast<int>(ToGbk(text).size());
}

QString FirstCharacterOutsideGbk(const QString& text) {
    for (const uint codePoint : text.toUcs4()) {
        const QString character =
            QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1);
        if (codePoint != '?' && ToGbk(character) == "?")
            return character;
    }
    return QString();
}
