#pragma once

#include "SerialPort.h"
#include "StatusReport.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace smsmodem {

// Timeout: no final result in time, or none within the longest answer a modem may give.
enum class Outcome { Ok, Failed, Timeout, Lost };

struct Reply {
    Outcome outcome = Outcome::Timeout;
    // The lines before the final result (echo, information, unsolicited lines other than
    // status reports).
    std::vector<std::string> lines;
    bool HasLineStartingWith(std::string_view prefix) const;
};

// AT commands over a serial line: one command at a time, each answer read up to its final
// result ("OK", "ERROR", "+CMS ERROR: n", "+CME ERROR: n") within a timeout and within
// kLongestAnswer bytes, so a modem that keeps talking holds no more than that.
//
// Status reports ("+CDS: <length>" and the PDU line after it) may come at any time, also in
// the middle of an answer: wherever they are read they go to the report queue, never into
// an answer. What else arrives while no command runs is stale and dropped.
class AtChannel {
public:
    static constexpr std::size_t kLongestAnswer = 64 * 1024;
    // The oldest reports give way when the program does not read them.
    static constexpr std::size_t kMostReportsKept = 10000;

    explicit AtChannel(SerialPort& port) : port_(port) {}

    // Forgets what was read from a line that has been closed.
    void Reset();
    Reply Command(const std::string& command, int timeoutMs);
    // Sends a command whose answer is read separately. False when the line is lost.
    bool Start(const std::string& command);
    // After "AT+CMGS=n": Ok once the "> " prompt has come, Failed on an error result.
    Outcome AwaitPrompt(int timeoutMs);
    // The PDU in hex closed by Ctrl-Z, then the answer up to its final result.
    Reply SubmitPdu(const std::string& pduHex, int timeoutMs);
    // Makes the modem leave its message input state.
    void Cancel();

    // Reads what has arrived, without waiting, between commands. Lost when the line went away.
    Outcome CollectReports();
    // Up to most reports from the queue, oldest first; they leave the queue.
    std::vector<StatusReport> TakeReports(std::size_t most);

private:
    using Deadline = std::chrono::steady_clock::time_point;

    Reply awaitFinalResult(Deadline deadline);
    Outcome readMore(Deadline deadline);
    Outcome takeArrived();
    bool takeReportLine(const std::string& line);
    void queue(StatusReport report);
    bool mayBecomeReport(std::string_view unfinished) const;
    std::optional<std::string> takeLine();
    void skipLineEnds();
    void consume(std::size_t count);
    bool send(std::string_view data);
    bool write(std::string_view data);

    SerialPort& port_;
    std::string pending_;             // read, not yet taken
    std::size_t scanned_ = 0;         // the start of pending_ known to hold no line end
    std::size_t answered_ = 0;        // bytes read since the command was sent
    std::optional<int> reportLength_; // a report's header was read, its PDU line comes next
    std::deque<StatusReport> reports_;
};

} // namespace smsmodem
