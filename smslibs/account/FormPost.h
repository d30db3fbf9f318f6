#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace winsms {

// Name and value in UTF-8.
using FormField = std::pair<std::string, std::string>;

struct FormReply {
    std::string body;
    std::string charset; // as the Content-Type header names it; empty when it names none
};

// POSTs the fields as application/x-www-form-urlencoded. The reply when the server answered
// with HTTP 200 in time; nullopt for anything else (no connection, a timeout, a certificate
// that does not verify, another status, an overlong reply).
std::optional<FormReply> PostForm(const std::string& url, const std::vector<FormField>& fields,
                                  long timeoutMs);

} // namespace winsms
