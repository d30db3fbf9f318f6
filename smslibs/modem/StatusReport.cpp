#include "StatusReport.h"

#include <cstdio>
#include <span>
#include <vector>

namespace smsmodem {
namespace {

constexpr std::uint8_t kMessageTypeMask = 0x03;
constexpr std::uint8_t kStatusReportType = 0x02;
constexpr std::uint8_t kNumberTypeMask = 0x70;
constexpr std::uint8_t kInternationalType = 0x10;
constexpr std::uint8_t kAlphanumericType = 0x50;
constexpr std::size_t kMaxAddressDigits = 20;
constexpr std::size_t kTimeOctets = 7;

std::optional<std::uint8_t> HexValue(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<std::uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<std::uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<std::uint8_t>(c - 'a' + 10);
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> OctetsOf(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> octets;
    octets.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const auto high = HexValue(hex[i]);
        const auto low = HexValue(hex[i + 1]);
        if (!high || !low)
            return std::nullopt;
        octets.push_back(static_cast<std::uint8_t>(*high << 4 | *low));
    }
    return octets;
}

// Reads octets front to back; every read is checked against the end.
class OctetReader {
public:
    explicit OctetReader(const std::vector<std::uint8_t>& octets) : octets_(octets) {}

    std::size_t Left() const { return octets_.size() - at_; }
    std::optional<std::uint8_t> Next() {
        if (Left() < 1)
            return std::nullopt;
        return octets_[at_++];
    }
    // The next count octets, or nothing (and nothing taken) when fewer are left.
    std::optional<std::span<const std::uint8_t>> Take(std::size_t count) {
        if (Left() < count)
            return std::nullopt;
        const std::span<const std::uint8_t> taken(octets_.data() + at_, count);
        at_ += count;
        return taken;
    }

private:
    const std::vector<std::uint8_t>& octets_;
    std::size_t at_ = 0;
};

// Semi-octets: the low nibble is the first digit.
std::optional<int> SwappedDecimal(std::uint8_t octet) {
    const int first = octet & 0x0F;
    const int second = octet >> 4;
    if (first > 9 || second > 9)
        return std::nullopt;
    return first * 10 + second;
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

std::optional<NetworkTime> TimeOf(std::span<const std::uint8_t> octets) {
    if (octets.size() < kTimeOctets)
        return std::nullopt;
    int fields[6] = {};
    for (std::size_t i = 0; i < 6; ++i) {
        const std::optional<int> value = SwappedDecimal(octets[i]);
        if (!value)
            return std::nullopt;
        fields[i] = *value;
    }
    // The zone counts quarter hours; bit 3 of the first digit is its sign.
    const std::uint8_t zone = octets[6];
    const std::optional<int> quarters = SwappedDecimal(zone & 0xF7);
    if (!quarters)
        return std::nullopt;
    NetworkTime time{2000 + fields[0],
                     fields[1],
                     fields[2],
                     fields[3],
                     fields[4],
                     fields[5],
                     ((zone & 0x08) ? -15 : 15) * *quarters};
    if (!InRange(time.month, 1, 12) || !InRange(time.day, 1, 31) || !InRange(time.hour, 0, 23) ||
        !InRange(time.minute, 0, 59) || !InRange(time.second, 0, 59))
        return std::nullopt;
    return time;
}

std::string DigitsOf(std::span<const std::uint8_t> octets, std::size_t count) {
    static constexpr char kDigits[] = "0123456789*#abc";
    std::string digits;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t octet = octets[i / 2];
        const int nibble = i % 2 == 0 ? octet & 0x0F : octet >> 4;
        if (nibble < 15)
            digits += kDigits[nibble];
    }
    return digits;
}

// The recipient's address: digit count, number type, the digits as semi-octets.
std::optional<std::string> ReadAddress(OctetReader& reader) {
    const std::optional<std::uint8_t> digitCount = reader.Next();
    const std::optional<std::uint8_t> type = reader.Next();
    if (!digitCount || !type || *digitCount > kMaxAddressDigits)
        return std::nullopt;
    const auto digits = reader.Take((*digitCount + 1u) / 2);
    if (!digits)
        return std::nullopt;
    const std::uint8_t numbering = *type & kNumberTypeMask;
    if (numbering == kAlphanumericType)
        return std::string();
    return (numbering == kInternationalType ? "+" : "") + DigitsOf(*digits, *digitCount);
}

// The service-centre address in front, when the modem put one there.
bool SkipServiceCentre(OctetReader& reader, int declaredLength) {
    if (declaredLength >= 0 && reader.Left() == static_cast<std::size_t>(declaredLength))
        return true;
    const std::optional<std::uint8_t> length = reader.Next();
    return length && reader.Take(*length);
}

} // namespace

DeliveryState StateOf(std::uint8_t status) {
    if (status <= 0x1F)
        return DeliveryState::Delivered;
    if (status <= 0x3F)
        return DeliveryState::Pending;
    return DeliveryState::Failed;
}

std::string FormatTime(const NetworkTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

std::optional<StatusReport> ReadStatusReport(std::string_view pduHex, int declaredLength) {
    const std::optional<std::vector<std::uint8_t>> octets = OctetsOf(pduHex);
    if (!octets)
        return std::nullopt;
    OctetReader reader(*octets);
    if (!SkipServiceCentre(reader, declaredLength))
        return std::nullopt;
    const std::optional<std::uint8_t> firstOctet = reader.Next();
    if (!firstOctet || (*firstOctet & kMessageTypeMask) != kStatusReportType)
        return std::nullopt;
    const std::optional<std::uint8_t> reference = reader.Next();
    if (!reference)
        return std::nullopt;
    std::optional<std::string> recipient = ReadAddress(reader);
    if (!recipient)
        return std::nullopt;
    const auto serviceCentreTime = reader.Take(kTimeOctets);
    const auto dischargeTime = reader.Take(kTimeOctets);
    const std::optional<std::uint8_t> status = reader.Next();
    if (!serviceCentreTime || !dischargeTime || !status)
        return std::nullopt;
    StatusReport report;
    report.reference = *reference;
    report.recipient = std::move(*recipient);
    report.status = *status;
    report.dischargeTime = TimeOf(*dischargeTime);
    return report;
}

} // namespace smsmodem
