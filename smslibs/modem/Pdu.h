#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace smsmodem {

// GBK bytes as UTF-16 code units; a byte that does not start a GBK character becomes U+FFFD.
std::u16string GbkToUtf16(std::string_view gbk);

struct Destination {
    std::string digits;
    bool international = false;
};

// "+8613800138000" or "13800138000"; spaces, tabs, hyphens and brackets between the digits
// are dropped. nullopt when the number cannot be addressed (empty, longer than 20 digits or
// holding anything but digits after an optional leading "+").
std::optional<Destination> ParseNumber(std::string_view number);

// The whole text when it fits one message (70 units), otherwise parts of 67 units; a
// surrogate pair always stays within one part.
std::vector<std::u16string> SplitIntoParts(const std::u16string& text);

struct PartHeader {
    std::uint8_t reference = 0;
    std::uint8_t total = 0;
    std::uint8_t sequence = 0;
};

// One SMS-SUBMIT in upper-case hex: service centre "00" (the SIM's), UCS2, validity 4 days.
// requestReport sets the status-report request bit: the network then reports the delivery.
std::string BuildSubmitPdu(const Destination& to, const std::u16string& part,
                           const std::optional<PartHeader>& header, bool requestReport = false);

// Every part of a message; empty when the text needs more than 255 parts.
std::vector<std::string> BuildMessagePdus(const Destination& to, const std::u16string& text,
                                          std::uint8_t reference, bool requestReport = false);

// The length AT+CMGS expects: the octets after the service-centre field.
int SubmitLength(const std::string& pduHex);

} // namespace smsmodem
