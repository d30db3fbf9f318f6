#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace winsms {

struct ServiceConfig {
    std::string url; // base address, without a trailing '/'
    long timeoutMs = 15000;
};

// Section [service] of the settings file: "url" (required) and "timeout" in seconds. Section
// and key names are matched without regard to case; lines starting with ';' or '#' are
// comments. nullopt when the file cannot be read or names no address.
std::optional<ServiceConfig> LoadServiceConfig(const std::filesystem::path& file);

} // namespace winsms
