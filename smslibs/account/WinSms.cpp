#include "WinSms.h"

#include "FormPost.h"
#include "ServiceConfig.h"
#include "TextCodec.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <mutex>

namespace {

constexpr const char* kFailureReply = "-99";

std::mutex callMutex;

// The folder this library was loaded from, where its settings file lies.
std::filesystem::path LibraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || !info.dli_fname)
        return {};
    std::error_code error;
    return std::filesystem::absolute(info.dli_fname, error).parent_path();
}

std::string Utf8Field(const char* gbk) {
    return gbk ? winsms::GbkToUtf8(gbk) : std::string();
}

// The file the environment names, else winsms.ini beside this library.
std::filesystem::path SettingsFile() {
    const char* named = std::getenv("WINSMS_INI");
    return named && *named ? std::filesystem::path(named) : LibraryFolder() / "winsms.ini";
}

// The service's reply in GBK, whatever charset it came in, or the failure reply.
std::string CallService(const char* endpoint, const std::vector<winsms::FormField>& fields) {
    const auto config = winsms::LoadServiceConfig(SettingsFile());
    if (!config)
        return kFailureReply;
    const auto reply = winsms::PostForm(config->url + endpoint, fields, config->timeoutMs);
    return reply ? winsms::ToGbk(reply->body, reply->charset) : kFailureReply;
}

// Keeps the reply until the next call of the same function.
template <typename Call> const char* Answer(std::string& slot, Call call) {
    try {
        const std::lock_guard lock(callMutex);
        slot = call();
        return slot.c_str();
    } catch (...) {
        return kFailureReply;
    }
}

} // namespace

extern "C" {

const char* Sendsms(const char* account, const char* password, const char* mobile,
                    const char* content, const char* ext1, const char* ext2) {
    static std::string reply;
    return Answer(reply, [&] {
        return CallService("/send", {{"account", Utf8Field(account)},
                                     {"password", Utf8Field(password)},
                                     {"mobile", Utf8Field(mobile)},
                                     {"content", Utf8Field(content)},
                                     {"ext1", Utf8Field(ext1)},
                                     {"ext2", Utf8Field(ext2)}});
    });
}

const char* Remoney(const char* account, const char* password) {
    static std::string reply;
    return Answer(reply, [&] {
        return CallService("/balance",
                           {{"account", Utf8Field(account)}, {"password", Utf8Field(password)}});
    });
}

const char* Editpwd(const char* account, const char* oldPassword, const char* newPassword) {
    static std::string reply;
    return Answer(reply, [&] {
        return CallService("/password", {{"account", Utf8Field(account)},
                                         {"password", Utf8Field(oldPassword)},
                                         {"newpassword", Utf8Field(newPassword)}});
    });
}
}
