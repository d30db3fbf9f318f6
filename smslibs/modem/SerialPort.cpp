#include "SerialPort.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace smsmodem {
namespace {

std::optional<speed_t> SpeedFor(int baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    default:
        return std::nullopt;
    }
}

bool ConfigureRaw(int fd, speed_t speed) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0)
        return false;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::Open(const std::string& path, int baud) {
    Close();
    const std::optional<speed_t> speed = SpeedFor(baud);
    if (!speed)
        return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (!ConfigureRaw(fd, *speed)) {
        ::close(fd);
        return false;
    }
    tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    return true;
}

void SerialPort::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

SerialPort::ReadResult SerialPort::Read(std::string& into, int timeoutMs) {
    if (fd_ < 0)
        return ReadResult::Lost;
    pollfd watch{fd_, POLLIN, 0};
    const int ready = ::poll(&watch, 1, timeoutMs);
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return ReadResult::Nothing;
    if (ready < 0 || !(watch.revents & POLLIN))
        return ReadResult::Lost;
    char buffer[256];
    const ssize_t count = ::read(fd_, buffer, sizeof buffer);
    if (count > 0) {
        into.append(buffer, static_cast<std::size_t>(count));
        return ReadResult::Data;
    }
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return ReadResult::Nothing;
    return ReadResult::Lost;
}

bool SerialPort::Write(std::string_view data, int timeoutMs) {
    if (fd_ < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!data.empty()) {
        const ssize_t count = ::write(fd_, data.data(), data.size());
        if (count > 0) {
            data.remove_prefix(static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN)
            return false;
        const int left = MillisecondsUntil(deadline);
        if (left == 0)
            return false;
        pollfd watch{fd_, POLLOUT, 0};
        if (::poll(&watch, 1, left) < 0 && errno != EINTR)
            return false;
        if (watch.revents & (POLLERR | POLLHUP | POLLNVAL))
            return false;
    }
    return true;
}

void SerialPort::DiscardInput() {
    if (fd_ >= 0)
        tcflush(fd_, TCIFLUSH);
}

} // namespace smsmodem
