#pragma once

#include "AtChannel.h"
#include "SerialPort.h"
#include "StatusReport.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace smsmodem {

// The one modem connection of the library: the device found for the port at connect time,
// the same device reopened on the next message when the line was lost.
class ModemSession {
public:
    ModemSession();

    // Non-zero when a modem answered on the port.
    int Connect(int port, int baud);
    // 1 when every part of the message was accepted within the time one message may take.
    // Given references, every part asks the network for a status report, and the reference
    // the modem gave each accepted part is appended (-1 when its answer did not say).
    int Send(std::string_view mobile, std::string_view gbkText,
             std::vector<int>* references = nullptr);
    void Disconnect();
    // Up to most of the status reports that have arrived, oldest first; reads the line
    // without waiting when it is open. The reports leave the queue.
    std::vector<StatusReport> ReadReports(std::size_t most);

private:
    using Deadline = std::chrono::steady_clock::time_point;

    bool openLine(Deadline deadline);
    bool initialise(Deadline deadline);
    bool askForStatusReports(Deadline deadline);
    std::optional<int> submitPart(const std::string& pduHex, Deadline deadline);
    bool settled(Outcome outcome);
    void dropLine();

    SerialPort port_;
    AtChannel at_{port_};
    std::string devicePath_;
    int baud_ = 0;
    bool connected_ = false;
    std::uint8_t nextReference_ = 0;
};

} // namespace smsmodem
