#pragma once

#include <string>
#include <string_view>

namespace winsms {

// A byte that does not start a GBK character becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
// A character GBK cannot hold, or a byte that is not UTF-8, becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);

} // namespace winsms
