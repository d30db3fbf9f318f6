#pragma once

#include "fakes/PollingThread.h"

#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An HTTP server on 127.0.0.1 and an ephemeral port, answering one request per connection
// on a thread of its own. It records every request and answers with the queued replies in
// order, then with 200 "000".
class FakeHttpServer {
public:
    struct Request {
        std::string method;
        std::string path;
        std::string contentType;
        std::string body;
    };

    struct Reply {
        int status = 200;
        std::string body;
        // Never answers: the connection is held until the client gives up.
        bool hold = false;
        // Sent as the Content-Type header; none when empty.
        std::string contentType = "text/plain; charset=utf-8";
    };

    FakeHttpServer();
    FakeHttpServer(const FakeHttpServer&) = delete;
    FakeHttpServer& operator=(const FakeHttpServer&) = delete;
    ~FakeHttpServer();

    std::string BaseUrl() const; // "http://127.0.0.1:<port>"
    void Queue(Reply reply);
    std::vector<Request> Requests() const;

    // A loopback port where nothing listens.
    static int UnusedPort();

private:
    bool acceptOne();
    void serve(int client);
    bool readRequest(int client, Request& request);
    Reply nextReply();
    void holdUntilClosed(int client);

    int listener_ = -1;
    int port_ = 0;
    PollingThread worker_;
    mutable std::mutex mutex_;
    std::deque<Reply> replies_;
    std::vector<Request> requests_;
};
