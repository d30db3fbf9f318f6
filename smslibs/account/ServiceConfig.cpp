#include "ServiceConfig.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

namespace winsms {
namespace {

constexpr long kDefaultTimeoutMs = 15000;
constexpr double kLongestTimeoutSeconds = 3600;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

long TimeoutMs(const std::string& seconds) {
    char* end = nullptr;
    const double parsed = std::strtod(seconds.c_str(), &end);
    if (seconds.empty() || *end != '\0' || !(parsed > 0) || parsed > kLongestTimeoutSeconds)
        return kDefaultTimeoutMs;
    return std::max(1L, static_cast<long>(parsed * 1000));
}

} // namespace

std::optional<ServiceConfig> LoadServiceConfig(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in)
        return std::nullopt;
    ServiceConfig config;
    std::string section;
    std::string line;
    for (bool first = true; std::getline(in, line); first = false) {
        if (first && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        line = Trimmed(line);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            section = Lowered(Trimmed(line.substr(1, line.find(']') - 1)));
            continue;
        }
        const auto equals = line.find('=');
        if (section != "service" || equals == std::string::npos)
            continue;
        const std::string key = Lowered(Trimmed(line.substr(0, equals)));
        const std::string value = Trimmed(line.substr(equals + 1));
        if (key == "url")
            config.url = value;
        else if (key == "timeout")
            config.timeoutMs = TimeoutMs(value);
    }
    if (in.bad())
        return std::nullopt;
    while (!config.url.empty() && config.url.back() == '/')
        config.url.pop_back();
    if (config.url.empty())
        return std::nullopt;
    return config;
}

} // namespace winsms
