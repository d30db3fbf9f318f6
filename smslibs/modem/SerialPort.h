#pragma once

#include <string>
#include <string_view>

namespace smsmodem {

// A serial line in raw 8N1 mode, read and written without blocking past a timeout.
class SerialPort {
public:
    enum class ReadResult { Data, Nothing, Lost };

    SerialPort() = default;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    ~SerialPort();

    // False when the path is not a terminal or the speed is not a standard one.
    bool Open(const std::string& path, int baud);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Appends what arrives within the timeout. Lost: the other end hung up or the device
    // went away.
    ReadResult Read(std::string& into, int timeoutMs);
    // False when the data could not all be written within the timeout.
    bool Write(std::string_view data, int timeoutMs);
    void DiscardInput();

private:
    int fd_ = -1;
};

} // namespace smsmodem
