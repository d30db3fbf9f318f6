#include "fakes/FakeHttpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kRequestReadMs = 5000;
constexpr int kLongestHoldMs = 60000;
constexpr std::size_t kLongestRequest = 1 << 20;

int LoopbackSocket(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot bind to the loopback address");
    }
    return fd;
}

int BoundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

std::string HeaderValue(const std::string& head, const char* name) {
    const std::string wanted = std::string("\r\n") + name + ":";
    for (std::size_t at = head.find("\r\n"); at != std::string::npos;
         at = head.find("\r\n", at + 2)) {
        if (strncasecmp(head.c_str() + at, wanted.c_str(), wanted.size()) != 0)
            continue;
        const std::size_t start = head.find_first_not_of(' ', at + wanted.size());
        return head.substr(start, head.find("\r\n", start) - start);
    }
    return {};
}

void SendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t count = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (count <= 0)
            return;
        sent += static_cast<std::size_t>(count);
    }
}

} // namespace

FakeHttpServer::FakeHttpServer() {
    listener_ = LoopbackSocket(0);
    port_ = BoundPort(listener_);
    if (::listen(listener_, 8) != 0)
        throw std::runtime_error("cannot listen");
    worker_.Start(listener_, [this] { return acceptOne(); });
}

FakeHttpServer::~FakeHttpServer() {
    worker_.Stop();
    ::close(listener_);
}

std::string FakeHttpServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void FakeHttpServer::Queue(Reply reply) {
    const std::lock_guard lock(mutex_);
    replies_.push_back(std::move(reply));
}

std::vector<FakeHttpServer::Request> FakeHttpServer::Requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

int FakeHttpServer::UnusedPort() {
    const int fd = LoopbackSocket(0);
    const int port = BoundPort(fd);
    ::close(fd);
    return port;
}

bool FakeHttpServer::acceptOne() {
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client >= 0) {
        serve(client);
        ::close(client);
    }
    return true;
}

void FakeHttpServer::serve(int client) {
    Request request;
    if (!readRequest(client, request))
        return;
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const Reply reply = nextReply();
    if (reply.hold) {
        holdUntilClosed(client);
        return;
    }
    const std::string contentType =
        reply.contentType.empty() ? "" : "Content-Type: " + reply.contentType + "\r\n";
    SendAll(client, "HTTP/1.1 " + std::to_string(reply.status) + " Reply\r\n" + contentType +
                        "Content-Length: " + std::to_string(reply.body.size()) +
                        "\r\nConnection: close\r\n\r\n" + reply.body);
}

bool FakeHttpServer::readRequest(int client, Request& request) {
    std::string data;
    std::size_t headEnd = std::string::npos;
    std::size_t contentLength = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestReadMs);
    while (std::chrono::steady_clock::now() < end && data.size() < kLongestRequest) {
        if (headEnd != std::string::npos && data.size() >= headEnd + 4 + contentLength)
            break;
        pollfd watch{client, POLLIN, 0};
        if (::poll(&watch, 1, 100) <= 0)
            continue;
        char buffer[4096];
        const ssize_t count = ::recv(client, buffer, sizeof buffer, 0);
        if (count <= 0)
            return false;
        data.append(buffer, static_cast<std::size_t>(count));
        if (headEnd == std::string::npos && (headEnd = data.find("\r\n\r\n")) != std::string::npos)
            contentLength =
                std::stoul("0" + HeaderValue(data.substr(0, headEnd + 2), "Content-Length"));
    }
    if (headEnd == std::string::npos || data.size() < headEnd + 4 + contentLength)
        return false;
    const std::string head = data.substr(0, headEnd + 2);
    const std::size_t methodEnd = head.find(' ');
    request.method = head.substr(0, methodEnd);
    request.path = head.substr(methodEnd + 1, head.find(' ', methodEnd + 1) - methodEnd - 1);
    request.contentType = HeaderValue(head, "Content-Type");
    request.body = data.substr(headEnd + 4, contentLength);
    return true;
}

FakeHttpServer::Reply FakeHttpServer::nextReply() {
    const std::lock_guard lock(mutex_);
    if (replies_.empty())
        return {200, "000"};
    Reply reply = replies_.front();
    replies_.pop_front();
    return reply;
}

void FakeHttpServer::holdUntilClosed(int client) {
    pollfd watch[2] = {{client, POLLIN, 0}, {worker_.WakeFd(), POLLIN, 0}};
    ::poll(watch, 2, kLongestHoldMs);
}
