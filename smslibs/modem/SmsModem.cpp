#include "SmsModem.h"

#include "ModemSession.h"

#include <mutex>

namespace {

std::mutex sessionMutex;

smsmodem::ModemSession& Session() {
    static smsmodem::ModemSession session;
    return session;
}

std::string_view TextOrEmpty(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

} // namespace

extern "C" {

int Sms_Connection(const char* /*ident*/, int port, int baud, int* /*a*/, int* /*b*/) {
    try {
        const std::lock_guard lock(sessionMutex);
        return Session().Connect(port, baud);
    } catch (...) {
        return 0;
    }
}

int Sms_Send(const char* mobile, const char* text) {
    try {
        const std::lock_guard lock(sessionMutex);
        return Session().Send(TextOrEmpty(mobile), TextOrEmpty(text));
    } catch (...) {
        return 0;
    }
}

void Sms_Disconnection(void) {
    try {
        const std::lock_guard lock(sessionMutex);
        Session().Disconnect();
    } catch (...) {
    }
}
}
