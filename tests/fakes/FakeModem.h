#pragma once

#include "fakes/PollingThread.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A GSM modem on a pseudo-terminal. It echoes until ATE0, answers every AT command with OK,
// takes AT+CMGS=<n> with the "> " prompt, reads the hex PDU up to Ctrl-Z, records it and
// answers "+CMGS: <k>" and OK, unless a misbehaviour was scripted for that submission.
class FakeModem {
public:
    // Chatter and Babble pour out kFloodBytes before the usual answer, as report lines or as
    // text without a line end; whatever the library writes meanwhile stops the flood.
    enum class Misbehaviour { None, CmsError, Error, Silence, NoPrompt, HangUp, Chatter, Babble };
    static constexpr std::size_t kFloodBytes = 1 << 20;

    struct Submission {
        int declaredLength = 0; // the n of AT+CMGS=<n>
        std::string pduHex;
    };

    FakeModem();
    FakeModem(const FakeModem&) = delete;
    FakeModem& operator=(const FakeModem&) = delete;
    ~FakeModem();

    std::string SlavePath() const;

    // How the next submissions are answered, in order; those after the plan are accepted.
    void Script(std::vector<Misbehaviour> plan);
    // A dead modem: the line is there but nothing answers.
    void SetDead(bool dead);
    // This command is answered with ERROR.
    void FailCommand(const std::string& command);

    std::vector<std::string> Commands() const;
    std::vector<Submission> Submissions() const;
    bool HungUp() const;
    // Waits at most timeoutMs for the count of ESC bytes received to reach count.
    bool WaitForEscapes(int count, int timeoutMs);

    // A fresh modem on a new pseudo-terminal, as after unplugging and plugging in again.
    void Replug();

private:
    enum class State { Command, Text };

    void open();
    void start();
    void stop();
    bool readInput();
    void receive(char byte);
    void handleCommand(const std::string& command);
    void finishSubmission();
    void accept();
    bool pour(const std::string& unit);
    void answer(const std::string& text);
    void hangUp();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int master_ = -1;
    int slaveKeeper_ = -1; // keeps the line up while the library has the port closed
    std::string slavePath_;
    PollingThread worker_;

    State state_ = State::Command;
    bool echo_ = true;
    bool dead_ = false;
    bool hungUp_ = false;
    std::string line_;
    std::string pdu_;
    std::string floodUnit_; // what to pour out once the input is read
    int declaredLength_ = 0;
    int nextMessageNumber_ = 1;
    Misbehaviour current_ = Misbehaviour::None;
    std::vector<Misbehaviour> plan_;
    std::vector<std::string> failingCommands_;
    std::vector<std::string> commands_;
    std::vector<Submission> submissions_;
    int escapes_ = 0;
};
