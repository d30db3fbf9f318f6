#include "AtChannel.h"

#include <algorithm>
#include <utility>

namespace smsmodem {
namespace {

constexpr int kWriteTimeoutMs = 2000;
constexpr char kCtrlZ = '\x1A';
constexpr char kEscape = '\x1B';
constexpr std::string_view kReportHeader = "+CDS:";
// A status report's PDU in hex, service centre included, is far shorter.
constexpr std::size_t kLongestReportLine = 512;
constexpr int kLongestReportPdu = 255;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsErrorResult(std::string_view line) {
    return line == "ERROR" || StartsWith(line, "+CMS ERROR") || StartsWith(line, "+CME ERROR");
}

std::chrono::steady_clock::time_point DeadlineAfter(int timeoutMs) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

bool IsHex(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

// "+CDS: 25" announces a PDU line of 25 octets after the service centre. A report in text
// mode ("+CDS: 6,12,...") has no such line.
std::optional<int> AnnouncedPduLength(std::string_view line) {
    std::string_view length = line.substr(kReportHeader.size());
    length.remove_prefix(std::min(length.find_first_not_of(' '), length.size()));
    if (length.empty() || length.size() > 3 ||
        length.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const int value = std::stoi(std::string(length));
    return value > 0 && value <= kLongestReportPdu ? std::optional<int>(value) : std::nullopt;
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

void AtChannel::Reset() {
    consume(pending_.size());
    reportLength_.reset();
}

// What arrived before the command is no part of its answer: reports are kept, the rest goes.
bool AtChannel::Start(const std::string& command) {
    if (takeArrived() == Outcome::Lost)
        return false;
    if (!mayBecomeReport(pending_))
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
            if (takeReportLine(*line))
                continue;
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
            if (takeReportLine(*line))
                continue;
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

Outcome AtChannel::CollectReports() {
    const Outcome outcome = takeArrived();
    if (!mayBecomeReport(pending_))
        consume(pending_.size());
    return outcome;
}

std::vector<StatusReport> AtChannel::TakeReports(std::size_t most) {
    const auto count = static_cast<std::ptrdiff_t>(std::min(most, reports_.size()));
    std::vector<StatusReport> taken(reports_.begin(), reports_.begin() + count);
    reports_.erase(reports_.begin(), reports_.begin() + count);
    return taken;
}

// Reads what has arrived, without waiting and within kLongestAnswer bytes: reports go to the
// queue, other whole lines are dropped, an unfinished line stays in pending_.
Outcome AtChannel::takeArrived() {
    std::size_t taken = 0;
    for (;;) {
        while (const std::optional<std::string> line = takeLine())
            takeReportLine(*line);
        if (taken >= kLongestAnswer) {
            port_.DiscardInput();
            return Outcome::Ok;
        }
        const std::size_t before = pending_.size();
        switch (port_.Read(pending_, 0)) {
        case SerialPort::ReadResult::Data:
            taken += pending_.size() - before;
            break;
        case SerialPort::ReadResult::Nothing:
            return Outcome::Ok;
        case SerialPort::ReadResult::Lost:
            return Outcome::Lost;
        }
    }
}

// True when the line belongs to a status report. A header whose next line is no hex had
// lost its PDU: that line is then read as what it is.
bool AtChannel::takeReportLine(const std::string& line) {
    if (const std::optional<int> length = std::exchange(reportLength_, std::nullopt)) {
        if (IsHex(line)) {
            if (std::optional<StatusReport> report = ReadStatusReport(line, *length))
                queue(std::move(*report));
            return true;
        }
    }
    if (!StartsWith(line, kReportHeader))
        return false;
    reportLength_ = AnnouncedPduLength(line);
    return true;
}

void AtChannel::queue(StatusReport report) {
    if (reports_.size() >= kMostReportsKept)
        reports_.pop_front();
    reports_.push_back(std::move(report));
}

// An unfinished line that may still turn out to be part of a report.
bool AtChannel::mayBecomeReport(std::string_view unfinished) const {
    if (unfinished.size() > kLongestReportLine)
        return false;
    if (reportLength_)
        return true;
    const std::size_t compared = std::min(unfinished.size(), kReportHeader.size());
    return unfinished.substr(0, compared) == kReportHeader.substr(0, compared);
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
