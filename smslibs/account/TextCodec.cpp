#include "TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <optional>
#include <strings.h>

namespace winsms {
namespace {

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF7)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

std::size_t OneByte(unsigned char) {
    return 1;
}

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : Utf8SequenceLength(lead);
        if (length == 0 || lead > 0xF4 || i + length > text.size())
            return false;
        // The second byte's range depends on the lead; the later ones are 80 to BF.
        const unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF))
                return false;
        }
        i += length;
    }
    return true;
}

bool NamesUtf8(const std::string& charset) {
    return strcasecmp(charset.c_str(), "utf-8") == 0 || strcasecmp(charset.c_str(), "utf8") == 0;
}

// GB2312 and code page 936 are GBK or a part of it.
bool NamesGbk(const std::string& charset) {
    for (const char* name : {"gbk", "gb2312", "cp936", "x-gbk"}) {
        if (strcasecmp(charset.c_str(), name) == 0)
            return true;
    }
    return false;
}

// Converts with iconv; input the target cannot take is replaced and skipped. nullopt when
// iconv knows no such conversion.
template <typename SkipLength>
std::optional<std::string> Recode(const char* to, const char* from, std::string_view input,
                                  std::string_view replacement, SkipLength skipLength) {
    std::string output;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<std::size_t>(out - buffer));
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        output += replacement;
        const std::size_t step = std::min(inLeft, skipLength(static_cast<unsigned char>(*in)));
        in += step;
        inLeft -= step;
    }
    iconv_close(cd);
    return output;
}

} // namespace

std::string GbkToUtf8(std::string_view gbk) {
    return Recode("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", OneByte).value_or("");
}

std::string Utf8ToGbk(std::string_view utf8) {
    return Recode("GBK", "UTF-8", utf8, "?", Utf8SequenceLength).value_or("");
}

std::string ToGbk(std::string_view text, const std::string& charset) {
    if (NamesUtf8(charset))
        return Utf8ToGbk(text);
    if (NamesGbk(charset))
        return std::string(text);
    if (!charset.empty()) {
        if (std::optional<std::string> converted =
                Recode("GBK", charset.c_str(), text, "?", OneByte))
            return *converted;
    }
    return IsUtf8(text) ? Utf8ToGbk(text) : std::string(text);
}

} // namespace winsms
