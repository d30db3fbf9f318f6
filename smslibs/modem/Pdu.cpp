#include "Pdu.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <iterator>

namespace smsmodem {
namespace {

constexpr std::size_t kSinglePartUnits = 70;
constexpr std::size_t kConcatenatedPartUnits = 67;
constexpr std::size_t kMaxParts = 255;
constexpr std::size_t kMaxDigits = 20;

constexpr unsigned kSubmitRelativeValidity = 0x11;
constexpr unsigned kStatusReportRequest = 0x20;
constexpr unsigned kUserDataHeaderFlag = 0x40;
constexpr unsigned kInternationalNumber = 0x91;
constexpr unsigned kUnknownNumber = 0x81;
constexpr unsigned kUcs2 = 0x08;
constexpr unsigned kFourDays = 0xAA;

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

void AppendOctet(std::string& hex, unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    hex += kDigits[(value >> 4) & 0xF];
    hex += kDigits[value & 0xF];
}

void AppendUtf16Be(std::u16string& text, const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        const auto high = static_cast<unsigned char>(bytes[i]);
        const auto low = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>((high << 8) | low);
    }
}

std::string SemiOctets(const std::string& digits) {
    std::string swapped;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        swapped += i + 1 < digits.size() ? digits[i + 1] : 'F';
        swapped += digits[i];
    }
    return swapped;
}

// What people write between digits: "138-0013-8000", "(0571) 8888 8888".
bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '-' || c == '(' || c == ')';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::u16string GbkToUtf16(std::string_view gbk) {
    std::u16string text;
    iconv_t cd = iconv_open("UTF-16BE", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return text;
    char* in = const_cast<char*>(gbk.data());
    std::size_t inLeft = gbk.size();
    char buffer[512];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        AppendUtf16Be(text, buffer, static_cast<std::size_t>(out - buffer));
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        text += u'\uFFFD';
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    return text;
}

std::optional<Destination> ParseNumber(std::string_view number) {
    std::string written;
    std::remove_copy_if(number.begin(), number.end(), std::back_inserter(written), IsSeparator);
    Destination to;
    std::string_view digits = written;
    if (!digits.empty() && digits.front() == '+') {
        to.international = true;
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > kMaxDigits ||
        !std::all_of(digits.begin(), digits.end(), IsDigit))
        return std::nullopt;
    to.digits = std::string(digits);
    return to;
}

std::vector<std::u16string> SplitIntoParts(const std::u16string& text) {
    if (text.size() <= kSinglePartUnits)
        return {text};
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t length = std::min(kConcatenatedPartUnits, text.size() - start);
        if (start + length < text.size() && IsHighSurrogate(text[start + length - 1]))
            --length;
        parts.push_back(text.substr(start, length));
        start += length;
    }
    return parts;
}

std::string BuildSubmitPdu(const Destination& to, const std::u16string& part,
                           const std::optional<PartHeader>& header, bool requestReport) {
    std::string pdu = "00";
    AppendOctet(pdu, kSubmitRelativeValidity | (header ? kUserDataHeaderFlag : 0) |
                         (requestReport ? kStatusReportRequest : 0));
    AppendOctet(pdu, 0x00); // message reference, set by the modem
    AppendOctet(pdu, static_cast<unsigned>(to.digits.size()));
    AppendOctet(pdu, to.international ? kInternationalNumber : kUnknownNumber);
    pdu += SemiOctets(to.digits);
    AppendOctet(pdu, 0x00); // protocol identifier
    AppendOctet(pdu, kUcs2);
    AppendOctet(pdu, kFourDays);

    std::string userData;
    if (header) {
        for (unsigned octet : {0x05u, 0x00u, 0x03u, unsigned{header->reference},
                               unsigned{header->total}, unsigned{header->sequence}})
            AppendOctet(userData, octet);
    }
    for (char16_t unit : part) {
        AppendOctet(userData, unit >> 8);
        AppendOctet(userData, unit & 0xFF);
    }
    AppendOctet(pdu, static_cast<unsigned>(userData.size() / 2));
    return pdu + userData;
}

std::vector<std::string> BuildMessagePdus(const Destination& to, const std::u16string& text,
                                          std::uint8_t reference, bool requestReport) {
    const std::vector<std::u16string> parts = SplitIntoParts(text);
    if (parts.size() > kMaxParts)
        return {};
    if (parts.size() == 1)
        return {BuildSubmitPdu(to, parts.front(), std::nullopt, requestReport)};
    std::vector<std::string> pdus;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const PartHeader header{reference, static_cast<std::uint8_t>(parts.size()),
                                static_cast<std::uint8_t>(i + 1)};
        pdus.push_back(BuildSubmitPdu(to, parts[i], header, requestReport));
    }
    return pdus;
}

int SubmitLength(const std::string& pduHex) {
    return static_cast<int>(pduHex.size() / 2) - 1;
}

} // namespace smsmodem
