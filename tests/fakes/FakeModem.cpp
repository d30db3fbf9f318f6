#include "fakes/FakeModem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

constexpr char kCtrlZ = '\x1A';
constexpr char kEscape = '\x1B';
constexpr std::size_t kFloodChunk = 4096;
constexpr int kLongestFloodStallMs = 5000;

void CloseFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

constexpr int kLongestDeliveryMs = 5000;
constexpr unsigned kStatusReportRequest = 0x20;
// The network's service centre, +8613010314500, in front of every report.
constexpr char kServiceCentre[] = "0891683110304105F0";
// 2024-05-06 10:20:30 and 10:21:05, zone +08:00, as semi-octets.
constexpr char kCentreTime[] = "42506001020323";
constexpr char kDischargeStamp[] = "42506001125023";

// The octet at index of a hex text; -1 past its end or where it is no hex.
int OctetAt(const std::string& hex, std::size_t index) {
    if (2 * index + 2 > hex.size())
        return -1;
    char* end = nullptr;
    const std::string digits = hex.substr(2 * index, 2);
    const long value = std::strtol(digits.c_str(), &end, 16);
    return *end == '\0' ? static_cast<int>(value) : -1;
}

std::string HexOctet(int value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

// An SMS-SUBMIT: the service centre, first octet, reference, then the destination address.
bool AsksForReport(const std::string& submitHex) {
    const int centre = OctetAt(submitHex, 0);
    const int firstOctet = centre < 0 ? -1 : OctetAt(submitHex, 1 + centre);
    return firstOctet >= 0 && (firstOctet & kStatusReportRequest) != 0;
}

std::string DestinationField(const std::string& submitHex) {
    const int centre = std::max(OctetAt(submitHex, 0), 0);
    const std::size_t start = 3 + static_cast<std::size_t>(centre);
    const int digits = std::max(OctetAt(submitHex, start), 0);
    return submitHex.substr(std::min(2 * start, submitHex.size()),
                            2 * (2 + (static_cast<std::size_t>(digits) + 1) / 2));
}

std::string NationalAddressField(const std::string& number) {
    std::string field = HexOctet(static_cast<int>(number.size())) + "81";
    for (std::size_t i = 0; i < number.size(); i += 2) {
        field += i + 1 < number.size() ? number[i + 1] : 'F';
        field += number[i];
    }
    return field;
}

int StatusOf(FakeModem::Report outcome) {
    return outcome == FakeModem::Report::Failed ? FakeModem::kFailedStatus
                                                : FakeModem::kDeliveredStatus;
}

std::string ReportLines(int reference, const std::string& addressField, int status) {
    const std::string report = "06" + HexOctet(reference) + addressField + kCentreTime +
                               kDischargeStamp + HexOctet(status);
    return "\r\n+CDS: " + std::to_string(report.size() / 2) + "\r\n" + kServiceCentre + report +
           "\r\n";
}

// The n-th field of "AT+CNMI=<mode>,<mt>,<bm>,<ds>,<bfr>".
std::string CnmiField(const std::string& command, int n) {
    std::size_t start = command.find('=');
    for (int i = 0; i < n && start != std::string::npos; ++i)
        start = command.find(',', start + 1);
    if (start == std::string::npos)
        return {};
    const std::size_t end = command.find(',', start + 1);
    return command.substr(start + 1, end == std::string::npos ? end : end - start - 1);
}

} // namespace

FakeModem::FakeModem() {
    open();
    start();
}

FakeModem::~FakeModem() {
    stop();
    CloseFd(master_);
    CloseFd(slaveKeeper_);
}

std::string FakeModem::SlavePath() const {
    const std::lock_guard lock(mutex_);
    return slavePath_;
}

void FakeModem::Script(std::vector<Misbehaviour> plan) {
    const std::lock_guard lock(mutex_);
    plan_ = std::move(plan);
}

void FakeModem::SetDead(bool dead) {
    const std::lock_guard lock(mutex_);
    dead_ = dead;
}

void FakeModem::FailCommand(const std::string& command) {
    const std::lock_guard lock(mutex_);
    failingCommands_.push_back(command);
}

void FakeModem::ScriptReports(std::vector<Report> plan) {
    const std::lock_guard lock(mutex_);
    reportPlan_ = std::move(plan);
}

void FakeModem::ReleaseReports(Release when) {
    const std::lock_guard lock(mutex_);
    if (when == Release::InNextAnswer) {
        releaseInNextAnswer_ = true;
        return;
    }
    std::string reports;
    for (const std::string& report : std::exchange(heldReports_, {}))
        reports += report;
    answerReadable(reports);
}

void FakeModem::SendUnsolicited(const std::string& bytes) {
    const std::lock_guard lock(mutex_);
    answerReadable(bytes);
}

std::string FakeModem::StatusReportLines(int reference, const std::string& nationalNumber,
                                         Report outcome) {
    return ReportLines(reference, NationalAddressField(nationalNumber), StatusOf(outcome));
}

std::vector<std::string> FakeModem::Commands() const {
    const std::lock_guard lock(mutex_);
    return commands_;
}

std::vector<FakeModem::Submission> FakeModem::Submissions() const {
    const std::lock_guard lock(mutex_);
    return submissions_;
}

bool FakeModem::HungUp() const {
    const std::lock_guard lock(mutex_);
    return hungUp_;
}

bool FakeModem::WaitForEscapes(int count, int timeoutMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return escapes_ >= count; });
}

void FakeModem::Replug() {
    stop();
    CloseFd(master_);
    CloseFd(slaveKeeper_);
    {
        const std::lock_guard lock(mutex_);
        state_ = State::Command;
        echo_ = true;
        hungUp_ = false;
        reportsRouted_ = false;
        line_.clear();
        pdu_.clear();
    }
    open();
    start();
}

void FakeModem::open() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0)
        throw std::runtime_error("no pseudo-terminal name");
    slaveKeeper_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeeper_ < 0)
        throw std::runtime_error("cannot open the pseudo-terminal");
    termios settings{};
    tcgetattr(slaveKeeper_, &settings);
    cfmakeraw(&settings);
    tcsetattr(slaveKeeper_, TCSANOW, &settings);
    const std::lock_guard lock(mutex_);
    slavePath_ = name;
}

void FakeModem::start() {
    worker_.Start(master_, [this] { return readInput(); });
}

void FakeModem::stop() {
    worker_.Stop();
}

// Takes what the library wrote; false once the modem has hung up.
bool FakeModem::readInput() {
    char buffer[512];
    const ssize_t count = ::read(master_, buffer, sizeof buffer);
    if (count <= 0)
        return true;
    std::string floodUnit;
    {
        const std::lock_guard lock(mutex_);
        for (ssize_t i = 0; i < count && !hungUp_; ++i)
            receive(buffer[i]);
        changed_.notify_all();
        if (hungUp_)
            return false;
        floodUnit = std::exchange(floodUnit_, {});
    }
    if (!floodUnit.empty() && pour(floodUnit)) {
        const std::lock_guard lock(mutex_);
        accept();
    }
    return true;
}

void FakeModem::receive(char byte) {
    if (byte == kEscape) {
        ++escapes_;
        state_ = State::Command;
        pdu_.clear();
        return;
    }
    if (state_ == State::Text) {
        if (byte == kCtrlZ)
            finishSubmission();
        else
            pdu_ += byte;
        return;
    }
    if (byte == '\n')
        return;
    if (byte != '\r') {
        line_ += byte;
        return;
    }
    const std::string command = line_;
    line_.clear();
    if (!command.empty())
        handleCommand(command);
}

void FakeModem::handleCommand(const std::string& command) {
    commands_.push_back(command);
    if (dead_)
        return;
    if (echo_)
        answer(command + "\r");
    if (std::find(failingCommands_.begin(), failingCommands_.end(), command) !=
        failingCommands_.end()) {
        answer("\r\nERROR\r\n");
        return;
    }
    if (StartsWith(command, "AT+CMGS=")) {
        declaredLength_ = std::atoi(command.c_str() + 8);
        current_ = Misbehaviour::None;
        if (!plan_.empty()) {
            current_ = plan_.front();
            plan_.erase(plan_.begin());
        }
        state_ = State::Text;
        pdu_.clear();
        if (current_ != Misbehaviour::NoPrompt)
            answer("\r\n> ");
        return;
    }
    if (command == "ATE0")
        echo_ = false;
    else if (command == "ATE1")
        echo_ = true;
    else if (StartsWith(command, "AT+CNMI="))
        reportsRouted_ = CnmiField(command, 3) == "1";
    if (!StartsWith(command, "AT")) {
        answer("\r\nERROR\r\n");
        return;
    }
    answer("\r\n" + releasedForThisAnswer() + "OK\r\n");
}

void FakeModem::finishSubmission() {
    submissions_.push_back({declaredLength_, pdu_});
    pdu_.clear();
    state_ = State::Command;
    switch (current_) {
    case Misbehaviour::None:
        accept();
        break;
    case Misbehaviour::Chatter:
        floodUnit_ = "\r\n+CMTI: \"SM\",1\r\n";
        break;
    case Misbehaviour::Babble:
        floodUnit_ = "x";
        break;
    case Misbehaviour::CmsError:
        answer("\r\n+CMS ERROR: 500\r\n");
        break;
    case Misbehaviour::Error:
    case Misbehaviour::NoPrompt:
        answer("\r\nERROR\r\n");
        break;
    case Misbehaviour::Silence:
        break;
    case Misbehaviour::HangUp:
        hangUp();
        break;
    }
}

void FakeModem::accept() {
    const int reference = nextReference_;
    nextReference_ = (nextReference_ + 1) % 256;
    answer("\r\n+CMGS: " + std::to_string(reference) + "\r\n" + releasedForThisAnswer() +
           "\r\nOK\r\n");
    Submission& part = submissions_.back();
    part.reference = reference;
    holdReportFor(part);
}

void FakeModem::holdReportFor(const Submission& part) {
    if (!reportsRouted_ || !AsksForReport(part.pduHex))
        return;
    Report outcome = Report::Delivered;
    if (!reportPlan_.empty()) {
        outcome = reportPlan_.front();
        reportPlan_.erase(reportPlan_.begin());
    }
    if (outcome != Report::Never)
        heldReports_.push_back(
            ReportLines(part.reference, DestinationField(part.pduHex), StatusOf(outcome)));
}

std::string FakeModem::releasedForThisAnswer() {
    if (!std::exchange(releaseInNextAnswer_, false))
        return {};
    std::string reports;
    for (const std::string& report : std::exchange(heldReports_, {}))
        reports += report;
    return reports;
}

// Writes the unit over and over, without blocking, while the line takes it. True once
// kFloodBytes went out; false when the library wrote something first or the modem stops.
bool FakeModem::pour(const std::string& unit) {
    std::string chunk;
    while (chunk.size() < kFloodChunk)
        chunk += unit;
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    std::size_t poured = 0;
    while (poured < kFloodBytes) {
        pollfd watch[2] = {{master_, POLLIN | POLLOUT, 0}, {worker_.WakeFd(), POLLIN, 0}};
        if (::poll(watch, 2, kLongestFloodStallMs) <= 0 || watch[1].revents != 0 ||
            watch[0].revents != POLLOUT)
            break;
        const std::size_t at = poured % chunk.size();
        const ssize_t written =
            ::write(master_, chunk.data() + at, std::min(chunk.size() - at, kFloodBytes - poured));
        if (written > 0)
            poured += static_cast<std::size_t>(written);
    }
    ::fcntl(master_, F_SETFL, flags);
    return poured == kFloodBytes;
}

void FakeModem::answer(const std::string& text) {
    [[maybe_unused]] const ssize_t written = ::write(master_, text.data(), text.size());
}

// Written while the library waits for nothing: returns once the line holds every byte, so
// the library's next look finds them all.
void FakeModem::answerReadable(const std::string& text) {
    int before = 0;
    ::ioctl(slaveKeeper_, FIONREAD, &before);
    answer(text);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kLongestDeliveryMs);
    int waiting = 0;
    while (::ioctl(slaveKeeper_, FIONREAD, &waiting) == 0 &&
           waiting < before + static_cast<int>(text.size()) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
}

void FakeModem::hangUp() {
    hungUp_ = true;
    CloseFd(master_);
    CloseFd(slaveKeeper_);
}
