#include "ModemSession.h"

#include "Pdu.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>

namespace smsmodem {
namespace {

// SMS_MODEM_TIMEOUT_MS: the longest wait for the modem's answer while a message is sent
// (default 20 s). SMS_MODEM_SEND_LIMIT_MS: the longest one message may take, all its parts
// and the reopening of a lost line included (default 60 s). SMS_MODEM_PROBE_MS: the wait for
// each "AT" probe while connecting (default 1 s); the other set-up commands get twice that.
int MillisecondsFromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return fallback;
    char* end = nullptr;
    const long parsed = std::strtol(value, &end, 10);
    return *end == '\0' && parsed > 0 && parsed <= 600000 ? static_cast<int>(parsed) : fallback;
}

int AnswerTimeoutMs() {
    return MillisecondsFromEnvironment("SMS_MODEM_TIMEOUT_MS", 20000);
}

int SendLimitMs() {
    return MillisecondsFromEnvironment("SMS_MODEM_SEND_LIMIT_MS", 60000);
}

int ProbeTimeoutMs() {
    return MillisecondsFromEnvironment("SMS_MODEM_PROBE_MS", 1000);
}

int SetupTimeoutMs() {
    return 2 * ProbeTimeoutMs();
}

constexpr int kProbeAttempts = 3;

using Clock = std::chrono::steady_clock;

// The timeout, cut short to what is left before the deadline.
int Within(int timeoutMs, Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, timeoutMs));
}

// The program folder: the parent of the folder this library was loaded from.
std::filesystem::path ProgramFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ProgramFolder), &info) == 0 || !info.dli_fname)
        return {};
    std::error_code error;
    const std::filesystem::path library = std::filesystem::absolute(info.dli_fname, error);
    return library.parent_path().parent_path();
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

// SMS_MODEM_DEVICES: where the system's serial devices are (default /dev).
std::filesystem::path SystemDevices() {
    const char* folder = std::getenv("SMS_MODEM_DEVICES");
    return folder && *folder ? folder : "/dev";
}

std::string DevicePathForPort(int port) {
    if (port < 1)
        return {};
    const std::string index = std::to_string(port - 1);
    const std::filesystem::path devices = SystemDevices();
    const std::string candidates[] = {
        (ProgramFolder() / "dev" / ("COM" + std::to_string(port))).string(),
        (devices / ("ttyUSB" + index)).string(),
        (devices / ("ttyACM" + index)).string(),
        (devices / ("ttyS" + index)).string(),
    };
    for (const std::string& path : candidates) {
        if (Exists(path))
            return path;
    }
    return {};
}

// "+CMGS: <reference>" before the final result; -1 when no such line holds a number.
int ReferenceIn(const Reply& reply) {
    for (const std::string& line : reply.lines) {
        if (line.rfind("+CMGS:", 0) != 0)
            continue;
        char* end = nullptr;
        const long reference = std::strtol(line.c_str() + 6, &end, 10);
        if (end != line.c_str() + 6 && reference >= 0 && reference <= 255)
            return static_cast<int>(reference);
    }
    return -1;
}

bool SimReportsNotReady(const Reply& reply) {
    for (const std::string& line : reply.lines) {
        if (line.rfind("+CPIN:", 0) == 0 && line.find("READY") == std::string::npos)
            return true;
    }
    return false;
}

} // namespace

ModemSession::ModemSession() {
    std::random_device seed;
    nextReference_ = static_cast<std::uint8_t>(seed());
}

int ModemSession::Connect(int port, int baud) {
    Disconnect();
    devicePath_ = DevicePathForPort(port);
    baud_ = baud;
    if (!openLine(Clock::time_point::max()))
        return 0;
    connected_ = true;
    return 1;
}

int ModemSession::Send(std::string_view mobile, std::string_view gbkText,
                       std::vector<int>* references) {
    if (!connected_)
        return 0;
    const std::optional<Destination> to = ParseNumber(mobile);
    if (!to)
        return 0;
    const std::vector<std::string> pdus =
        BuildMessagePdus(*to, GbkToUtf16(gbkText), nextReference_, references != nullptr);
    if (pdus.empty())
        return 0;
    if (pdus.size() > 1)
        ++nextReference_;
    const Deadline deadline = Clock::now() + std::chrono::milliseconds(SendLimitMs());
    if (!port_.IsOpen() && !openLine(deadline))
        return 0;
    if (pdus.size() > 1 &&
        at_.Command("AT+CMMS=1", Within(SetupTimeoutMs(), deadline)).outcome == Outcome::Lost) {
        dropLine();
        return 0;
    }
    for (const std::string& pdu : pdus) {
        const std::optional<int> reference = submitPart(pdu, deadline);
        if (!reference)
            return 0;
        if (references)
            references->push_back(*reference);
    }
    return 1;
}

void ModemSession::Disconnect() {
    port_.Close();
    connected_ = false;
}

std::vector<StatusReport> ModemSession::ReadReports(std::size_t most) {
    if (port_.IsOpen() && at_.CollectReports() == Outcome::Lost)
        dropLine();
    return at_.TakeReports(most);
}

bool ModemSession::openLine(Deadline deadline) {
    if (devicePath_.empty() || !port_.Open(devicePath_, baud_))
        return false;
    at_.Reset();
    if (initialise(deadline))
        return true;
    port_.Close();
    return false;
}

bool ModemSession::initialise(Deadline deadline) {
    bool answered = false;
    for (int attempt = 0; attempt < kProbeAttempts && !answered; ++attempt) {
        const Outcome outcome = at_.Command("AT", Within(ProbeTimeoutMs(), deadline)).outcome;
        if (outcome == Outcome::Lost)
            return false;
        answered = outcome == Outcome::Ok;
    }
    if (!answered)
        return false;
    for (const char* command : {"ATE0", "AT+CMGF=0"}) {
        if (at_.Command(command, Within(SetupTimeoutMs(), deadline)).outcome != Outcome::Ok)
            return false;
    }
    // Numeric error reports help whoever reads the line; a modem without them still works.
    if (at_.Command("AT+CMEE=1", Within(SetupTimeoutMs(), deadline)).outcome == Outcome::Lost)
        return false;
    const Reply sim = at_.Command("AT+CPIN?", Within(SetupTimeoutMs(), deadline));
    if (sim.outcome == Outcome::Lost || SimReportsNotReady(sim))
        return false;
    return askForStatusReports(deadline);
}

// Status reports routed straight to the line as "+CDS" (ds=1), no indications of received
// messages (mt=0). Phase 2 message service (AT+CSMS=0) needs no acknowledgement of a report
// with AT+CNMA. A modem that cannot do this still sends, only without reports; only a lost
// line fails.
bool ModemSession::askForStatusReports(Deadline deadline) {
    if (at_.Command("AT+CSMS=0", Within(SetupTimeoutMs(), deadline)).outcome == Outcome::Lost)
        return false;
    // Mode 2 holds the reports back while the line is busy; some modems know only mode 1.
    for (const char* command : {"AT+CNMI=2,0,0,1,0", "AT+CNMI=1,0,0,1,0"}) {
        const Outcome outcome = at_.Command(command, Within(SetupTimeoutMs(), deadline)).outcome;
        if (outcome != Outcome::Failed)
            return outcome != Outcome::Lost;
    }
    return true;
}

// The reference the modem gave the accepted part; nullopt when it was not accepted.
std::optional<int> ModemSession::submitPart(const std::string& pduHex, Deadline deadline) {
    if (!at_.Start("AT+CMGS=" + std::to_string(SubmitLength(pduHex)))) {
        dropLine();
        return std::nullopt;
    }
    if (!settled(at_.AwaitPrompt(Within(AnswerTimeoutMs(), deadline))))
        return std::nullopt;
    const Reply reply = at_.SubmitPdu(pduHex, Within(AnswerTimeoutMs(), deadline));
    if (!settled(reply.outcome) || !reply.HasLineStartingWith("+CMGS:"))
        return std::nullopt;
    return ReferenceIn(reply);
}

// After anything but Ok, leaves the line ready for the next number: a lost line is closed
// (reopened on the next send) and a modem still waiting for input is sent ESC.
bool ModemSession::settled(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok:
        return true;
    case Outcome::Lost:
        dropLine();
        break;
    case Outcome::Timeout:
        at_.Cancel();
        break;
    case Outcome::Failed:
        break;
    }
    return false;
}

void ModemSession::dropLine() {
    port_.Close();
}

} // namespace smsmodem
