#include "fakes/FakeModem.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <termios.h>
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
    answer(StartsWith(command, "AT") ? "\r\nOK\r\n" : "\r\nERROR\r\n");
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
    answer("\r\n+CMGS: " + std::to_string(nextMessageNumber_++) + "\r\n\r\nOK\r\n");
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

void FakeModem::hangUp() {
    hungUp_ = true;
    CloseFd(master_);
    CloseFd(slaveKeeper_);
}
