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
// answers "+CMGS: <reference>" and OK, unless a misbehaviour was scripted for that submission.
//
// Once AT+CNMI has asked for status reports on the line (ds=1), each accepted part whose PDU
// requests a report gets one from the network: held until the test releases it, then sent as
// "+CDS: <length>" and the PDU line.
class FakeModem {
public:
    // Chatter and Babble pour out kFloodBytes before the usual answer, as report lines or as
    // text without a line end; whatever the library writes meanwhile stops the flood.
    enum class Misbehaviour { None, CmsError, Error, Silence, NoPrompt, HangUp, Chatter, Babble };
    static constexpr std::size_t kFloodBytes = 1 << 20;

    // What the network will say about the parts that ask for a report, in order.
    enum class Report { Delivered, Failed, Never };
    // Released reports come at once, while the library waits for nothing, or inside the
    // answer to the next command, between its information and its final result.
    enum class Release { Now, InNextAnswer };

    struct Submission {
        int declaredLength = 0; // the n of AT+CMGS=<n>
        std::string pduHex;
        int reference = -1; // given when the part was accepted
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
    // The reports of the next parts that ask for one; those after the plan are delivered.
    void ScriptReports(std::vector<Report> plan);
    // Sends the reports held so far. With Now, they are on the line when this returns.
    void ReleaseReports(Release when);
    // Bytes sent as they are, on the line when this returns.
    void SendUnsolicited(const std::string& bytes);
    // "\r\n+CDS: <length>\r\n<PDU>\r\n" as the modem sends it, for a national number. The
    // network's time stamps are fixed: the part was delivered (or given up) at
    // kDischargeTime, in zone +08:00.
    static std::string StatusReportLines(int reference, const std::string& nationalNumber,
                                         Report outcome);
    static constexpr char kDischargeTime[] = "2024-05-06 10:21:05";
    static constexpr int kDeliveredStatus = 0x00;
    static constexpr int kFailedStatus = 0x41;

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
    void holdReportFor(const Submission& part);
    std::string releasedForThisAnswer();
    bool pour(const std::string& unit);
    void answer(const std::string& text);
    void answerReadable(const std::string& text);
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
    int nextReference_ = 1;
    bool reportsRouted_ = false; // AT+CNMI with ds=1
    std::vector<Report> reportPlan_;
    std::vector<std::string> heldReports_;
    bool releaseInNextAnswer_ = false;
    Misbehaviour current_ = Misbehaviour::None;
    std::vector<Misbehaviour> plan_;
    std::vector<std::string> failingCommands_;
    std::vector<std::string> commands_;
    std::vector<Submission> submissions_;
    int escapes_ = 0;
};
