#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace smsmodem {

// What the network says about one part: the service centre delivered it, is still trying,
// or has given up.
enum class DeliveryState { Delivered, Pending, Failed };

// A time stamp of the service centre, as it was sent: the wall-clock time of its own zone.
struct NetworkTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int zoneMinutes = 0; // east of UTC
};

struct StatusReport {
    std::uint8_t reference = 0;               // the message reference the modem gave the part
    std::string recipient;                    // digits, "+" first for an international number
    std::uint8_t status = 0;                  // the status octet as the network sent it
    std::optional<NetworkTime> dischargeTime; // none when the stamp is not a valid time
};

// 0x00-0x1F: delivered (the transaction completed); 0x20-0x3F: a temporary error while the
// centre keeps trying; everything else (errors the centre gives up on, reserved values): failed.
DeliveryState StateOf(std::uint8_t status);

// "yyyy-MM-dd HH:mm:ss"; a two-digit year is taken as 20yy.
std::string FormatTime(const NetworkTime& time);

// The SMS-STATUS-REPORT of a "+CDS: <length>" line pair. The length counts the octets after
// the service-centre address, which tells whether the modem put one in front. nullopt unless
// the hex holds a whole status report; nothing is read past the end of the text.
std::optional<StatusReport> ReadStatusReport(std::string_view pduHex, int declaredLength);

} // namespace smsmodem
