#include "FormPost.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

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

} // namespace

std::optional<std::string> PostForm(const std::string& url, const std::vector<FormField>& fields,
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
    std::string reply;

    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_POST, 1L);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, CollectReply);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &reply);
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
    return reply;
}

} // namespace winsms
