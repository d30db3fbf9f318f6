#include "FormPost.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string_view>
#include <strings.h>

namespace winsms {
namespace {

constexpr std::size_t kLongestReply = 1 << 20;

struct CurlHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

bool InitialiseCurl() {
    static std::once_flag once;
    static bool initialised = false;
    std::call_once(once, [] { initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return initialised;
}

std::string Escaped(CURL* curl, const std::string& text) {
    char* escaped = curl_easy_escape(curl, text.data(), static_cast<int>(text.size()));
    if (!escaped)
        return {};
    std::string result(escaped);
    curl_free(escaped);
    return result;
}

std::string EncodeForm(CURL* curl, const std::vector<FormField>& fields) {
    std::string body;
    for (const auto& [name, value] : fields) {
        if (!body.empty())
            body += '&';
        body += Escaped(curl, name) + '=' + Escaped(curl, value);
    }
    return body;
}

size_t CollectReply(char* data, size_t size, size_t count, void* target) {
    auto* reply = static_cast<std::string*>(target);
    const size_t bytes = size * count;
    if (reply->size() + bytes > kLongestReply)
        return 0; // aborts the transfer
    reply->append(data, bytes);
    return bytes;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\"");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\"") - first + 1);
}

// "text/plain; charset=GBK" gives "GBK".
std::string CharsetOf(const char* contentType) {
    static constexpr std::string_view kName = "charset=";
    std::string_view rest = contentType ? contentType : "";
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(';'), rest.size());
        const std::string_view parameter = Trimmed(rest.substr(0, end));
        if (parameter.size() > kName.size() &&
            strncasecmp(parameter.data(), kName.data(), kName.size()) == 0)
            return std::string(Trimmed(parameter.substr(kName.size())));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return {};
}

} // namespace

std::optional<FormReply> PostForm(const std::string& url, const std::vector<FormField>& fields,
                                  long timeoutMs) {
    if (!InitialiseCurl())
        return std::nullopt;
    const std::unique_ptr<CURL, CurlHandleDeleter> curl(curl_easy_init());
    if (!curl)
        return std::nullopt;
    const std::string body = EncodeForm(curl.get(), fields);
    // Without this curl may wait for a "100 Continue" that simple services never send.
    const std::unique_ptr<curl_slist, HeaderListDeleter> headers(
        curl_slist_append(nullptr, "Expect:"));
    FormReply reply;

    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_POST, 1L);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, CollectReply);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &reply.body);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);

    if (curl_easy_perform(handle) != CURLE_OK)
        return std::nullopt;
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200)
        return std::nullopt;
    char* contentType = nullptr;
    curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &contentType);
    reply.charset = CharsetOf(contentType);
    return reply;
}

} // namespace winsms
