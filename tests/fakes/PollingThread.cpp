#include "fakes/PollingThread.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace {

constexpr auto kLongestLife = std::chrono::minutes(5);

void CloseFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

void PollingThread::Start(int fd, std::function<bool()> onReadable) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe");
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    thread_ = std::thread([this, fd, handler = std::move(onReadable)] { run(fd, handler); });
}

void PollingThread::Stop() {
    if (thread_.joinable()) {
        const char wake = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &wake, 1);
        thread_.join();
    }
    CloseFd(wakeRead_);
    CloseFd(wakeWrite_);
}

void PollingThread::run(int fd, const std::function<bool()>& onReadable) {
    const auto end = std::chrono::steady_clock::now() + kLongestLife;
    while (std::chrono::steady_clock::now() < end) {
        pollfd watch[2] = {{fd, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (::poll(watch, 2, 200) < 0 || watch[1].revents != 0)
            return;
        if ((watch[0].revents & POLLIN) && !onReadable())
            return;
    }
}
