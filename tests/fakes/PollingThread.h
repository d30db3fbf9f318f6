#pragma once

#include <functional>
#include <thread>

// A thread that waits for one descriptor to become readable and hands it to a handler, until
// it is stopped, the handler says so, or five minutes have passed. Stopping wakes it at once.
class PollingThread {
public:
    PollingThread() = default;
    PollingThread(const PollingThread&) = delete;
    PollingThread& operator=(const PollingThread&) = delete;
    ~PollingThread() { Stop(); }

    // onReadable returns false to end the thread.
    void Start(int fd, std::function<bool()> onReadable);
    void Stop();
    // Readable once Stop was called: lets a handler's own waits end with the thread.
    int WakeFd() const { return wakeRead_; }

private:
    void run(int fd, const std::function<bool()>& onReadable);

    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::thread thread_;
};
