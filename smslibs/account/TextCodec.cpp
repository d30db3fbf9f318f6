#include "TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

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

// Converts with iconv; input the target cannot take is replaced and skipped.
template <typename SkipLength>
std::string Recode(const char* to, const char* from, std::string_view input,
                   std::string_view replacement, SkipLength skipLength) {
    std::string output;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return output;
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
    return Recode("UTF-8", "GBK", gbk, "\xEF\xBF\xBD",
                  [](unsigned char) { return std::size_t{1}; });
}

std::string Utf8ToGbk(std::string_view utf8) {
    return Recode("GBK", "UTF-8", utf8, "?", Utf8SequenceLength);
}

} // namespace winsms
