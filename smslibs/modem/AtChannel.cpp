#include "AtChannel.h"

#include <algorithm>

namespace smsmodem {
namespace {

constexpr int kWriteTimeoutMs = 2000;
constexpr char kCtrlZ = '\x1A';
constexpr char kEscape = '\x1B';

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsErrorResult(std::string_view line) {
    return line == "ERROR" || StartsWith(line, "+CMS ERROR") || StartsWith(line, "+CME ERROR");
}

std::chrono::steady_clock::time_point DeadlineAfter(int timeoutMs) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

} // namespace

bool Reply::HasLineStartingWith(std::string_view prefix) const {
    return std::any_of(lines.begin(), lines.end(),
                       [prefix](const std::string& line) { return StartsWith(line, prefix); });
}

Reply AtChannel::Command(const std::string& command, int timeoutMs) {
    if (!Start(command))
        return {Outcome::Lost, {}};
    return awaitFinalResult(DeadlineAfter(timeoutMs));
}

bool AtChannel::Start(const std::string& command) {
    port_.DiscardInput();
    consume(pending_.size());
    return send(command + "\r");
}

Outcome AtChannel::AwaitPrompt(int timeoutMs) {
    const Deadline deadline = DeadlineAfter(timeoutMs);
    for (;;) {
        skipLineEnds();
        if (!pending_.empty() && pending_.front() == '>') {
            consume(pending_.compare(0, 2, "> ") == 0 ? 2 : 1);
            return Outcome::Ok;
        }
        if (const std::optional<std::string> line = takeLine()) {
            if (IsErrorResult(*line))
                return Outcome::Failed;
            continue; // echo or an unsolicited report
        }
        if (const Outcome read = readMore(deadline); read != Outcome::Ok)
            return read;
    }
}

Reply AtChannel::SubmitPdu(const std::string& pduHex, int timeoutMs) {
    if (!send(pduHex + kCtrlZ))
        return {Outcome::Lost, {}};
    return awaitFinalResult(DeadlineAfter(timeoutMs));
}

void AtChannel::Cancel() {
    write(std::string_view(&kEscape, 1));
}

Reply AtChannel::awaitFinalResult(Deadline deadline) {
    Reply reply;
    for (;;) {
        while (const std::optional<std::string> line = takeLine()) {
            if (*line == "OK") {
                reply.outcome = Outcome::Ok;
                return reply;
            }
            if (IsErrorResult(*line)) {
                reply.outcome = Outcome::Failed;
                reply.lines.push_back(*line);
                return reply;
            }
            reply.lines.push_back(*line);
        }
        reply.outcome = readMore(deadline);
        if (reply.outcome != Outcome::Ok)
            return reply;
    }
}

Outcome AtChannel::readMore(Deadline deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Outcome::Timeout;
        const std::size_t before = pending_.size();
        switch (port_.Read(pending_, static_cast<int>(left.count()))) {
        case SerialPort::ReadResult::Data:
            answered_ += pending_.size() - before;
            return answered_ <= kLongestAnswer ? Outcome::Ok : Outcome::Timeout;
        case SerialPort::ReadResult::Lost:
            return Outcome::Lost;
        case SerialPort::ReadResult::Nothing:
            break;
        }
    }
}

// Each byte is looked at once, however many reads a long line takes to arrive.
std::optional<std::string> AtChannel::takeLine() {
    skipLineEnds();
    const std::size_t end = pending_.find_first_of("\r\n", scanned_);
    if (end == std::string::npos) {
        scanned_ = pending_.size();
        return std::nullopt;
    }
    std::string line = pending_.substr(0, end);
    consume(end);
    return line;
}

void AtChannel::skipLineEnds() {
    consume(std::min(pending_.find_first_not_of("\r\n"), pending_.size()));
}

void AtChannel::consume(std::size_t count) {
    if (count == 0)
        return;
    pending_.erase(0, count);
    scanned_ = 0;
}

// Writes what starts a new answer.
bool AtChannel::send(std::string_view data) {
    answered_ = 0;
    return write(data);
}

bool AtChannel::write(std::string_view data) {
    return port_.Write(data, kWriteTimeoutMs);
}

} // namespace smsmodem
