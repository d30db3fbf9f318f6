#include "SmsModem.h"

#include "ModemSession.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

std::mutex sessionMutex;

smsmodem::ModemSession& Session() {
    static smsmodem::ModemSession session;
    return session;
}

std::string_view TextOrEmpty(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

SmsDeliveryState StateFor(std::uint8_t status) {
    switch (smsmodem::StateOf(status)) {
    case smsmodem::DeliveryState::Delivered:
        return SMS_DELIVERED;
    case smsmodem::DeliveryState::Pending:
        return SMS_PENDING;
    case smsmodem::DeliveryState::Failed:
        break;
    }
    return SMS_FAILED;
}

template <std::size_t N> void CopyText(char (&into)[N], const std::string& text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::memcpy(into, text.data(), length);
    into[length] = '\0';
}

SmsStatusReport ForProgram(const smsmodem::StatusReport& report) {
    SmsStatusReport out{};
    out.reference = report.reference;
    out.state = StateFor(report.status);
    out.networkStatus = report.status;
    if (report.dischargeTime) {
        out.zoneMinutes = report.dischargeTime->zoneMinutes;
        CopyText(out.dischargeTime, smsmodem::FormatTime(*report.dischargeTime));
    }
    CopyText(out.recipient, report.recipient);
    return out;
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

int Sms_SendWithReferences(const char* mobile, const char* text, int* references, int capacity,
                           int* partsAccepted) {
    std::vector<int> accepted;
    int result = 0;
    try {
        const std::lock_guard lock(sessionMutex);
        result = Session().Send(TextOrEmpty(mobile), TextOrEmpty(text), &accepted);
    } catch (...) {
        result = 0;
    }
    if (references && capacity > 0)
        std::copy_n(accepted.begin(), std::min<std::size_t>(accepted.size(), capacity), references);
    if (partsAccepted)
        *partsAccepted = static_cast<int>(accepted.size());
    return result;
}

int Sms_ReadReports(SmsStatusReport* reports, int capacity) {
    if (!reports || capacity <= 0)
        return 0;
    try {
        const std::lock_guard lock(sessionMutex);
        const std::vector<smsmodem::StatusReport> taken =
            Session().ReadReports(static_cast<std::size_t>(capacity));
        std::transform(taken.begin(), taken.end(), reports, ForProgram);
        return static_cast<int>(taken.size());
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
