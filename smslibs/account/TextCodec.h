#pragma once

#include <string>
#include <string_view>

namespace winsms {

// A byte that does not start a GBK character becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
// A character GBK cannot hold, or a byte that is not UTF-8, becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);
// Text in the named charset as GBK. Without a charset, or with one that is not known, valid
// UTF-8 is taken as UTF-8 and anything else as GBK already.
std::string ToGbk(std::string_view text, const std::string& charset);

} // namespace winsms
