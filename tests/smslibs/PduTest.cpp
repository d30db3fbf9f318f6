#include "Pdu.h"
#include "StatusReport.h"

#include <gtest/gtest.h>

#include <utility>

using namespace smsmodem;

TEST(SmsModemPdu, PartsNeverSplitACharacterOutsideTheBasicPlane) {
    EXPECT_EQ(SplitIntoParts(std::u16string(70, u'a')).size(), 1u);
    const auto two = SplitIntoParts(std::u16string(71, u'a'));
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].size(), 67u);

    // A surrogate pair on units 67 and 68 moves whole into the second part.
    const std::u16string text = std::u16string(66, u'a') + u"\U0001F600" + std::u16string(60, u'b');
    const auto parts = SplitIntoParts(text);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0], std::u16string(66, u'a'));
    EXPECT_EQ(parts[1].substr(0, 2), u"\U0001F600");
    EXPECT_EQ(parts[0] + parts[1], text);
}

TEST(SmsModemPdu, NumbersLoseTheirSeparatorsAndOnlyAddressableOnesAreAccepted) {
    for (const char* refused :
         {"", "+", " ( ) - ", "138a0013", "138.0013", "1+38", "++86138", "1234567890-1234567890-1"})
        EXPECT_FALSE(ParseNumber(refused)) << refused;
    const std::pair<const char*, const char*> written[] = {
        {"138-0013-8000", "13800138000"},
        {"(0571) 8888 8888", "057188888888"},
        {"\t138 0013 8000 ", "13800138000"},
        {"1234567890-1234567890", "12345678901234567890"}};
    for (const auto& [number, digits] : written) {
        const auto parsed = ParseNumber(number);
        ASSERT_TRUE(parsed) << number;
        EXPECT_EQ(parsed->digits, digits);
        EXPECT_FALSE(parsed->international);
    }
    const auto international = ParseNumber(" +86 (138) 0013-8000 ");
    ASSERT_TRUE(international);
    EXPECT_EQ(international->digits, "8613800138000");
    EXPECT_TRUE(international->international);
    EXPECT_EQ(BuildSubmitPdu(*ParseNumber("10086"), u"A", std::nullopt), "0011000581"
                                                                         "0180F6"
                                                                         "0008AA"
                                                                         "02"
                                                                         "0041");
}

TEST(SmsModemPdu, InvalidGbkBytesBecomeReplacementCharacters) {
    EXPECT_EQ(GbkToUtf16("\xD6\xD0"
                         "a\xFF"),
              u"\u4E2Da\uFFFD");
}

TEST(SmsModemPdu, TooManyPartsGiveNoPdus) {
    const Destination to{"10086", false};
    EXPECT_EQ(BuildMessagePdus(to, std::u16string(67 * 255, u'x'), 1).size(), 255u);
    EXPECT_TRUE(BuildMessagePdus(to, std::u16string(67 * 255 + 1, u'x'), 1).empty());
}

TEST(SmsModemPdu, TheStatusReportRequestIsSetOnlyWhenAsked) {
    const Destination to{"10086", false};
    EXPECT_EQ(BuildSubmitPdu(to, u"A", std::nullopt, true), "0031000581"
                                                            "0180F6"
                                                            "0008AA"
                                                            "02"
                                                            "0041");
    const auto parts = BuildMessagePdus(to, std::u16string(71, u'x'), 7, true);
    ASSERT_EQ(parts.size(), 2u);
    for (const std::string& part : parts)
        EXPECT_EQ(part.substr(2, 2), "71");
    EXPECT_EQ(BuildMessagePdus(to, u"A", 7).at(0).substr(2, 2), "11");
}

namespace {

// A report from a service centre at +31624000000: reference 0x45 for +8613800138000,
// delivered 2024-12-31 23:59:58 at UTC-05:00.
constexpr char kCentre[] = "07911326040000F0";
constexpr char kReportHead[] = "06450D91683108108300F042506001020323";
constexpr char kDischarge[] = "4221133295850A";
constexpr int kReportLength = 26;

std::string Report(const std::string& discharge = kDischarge, const std::string& status = "00") {
    return kCentre + std::string(kReportHead) + discharge + status;
}

} // namespace

TEST(SmsModemPdu, StatusReportsAreReadWithOrWithoutTheServiceCentre) {
    for (const std::string& pdu :
         {Report(), Report().substr(std::size(kCentre) - 1), "00" + Report().substr(16)}) {
        const auto report = ReadStatusReport(pdu, kReportLength);
        ASSERT_TRUE(report) << pdu;
        EXPECT_EQ(report->reference, 0x45);
        EXPECT_EQ(report->recipient, "+8613800138000");
        EXPECT_EQ(report->status, 0x00);
        ASSERT_TRUE(report->dischargeTime);
        EXPECT_EQ(FormatTime(*report->dischargeTime), "2024-12-31 23:59:58");
        EXPECT_EQ(report->dischargeTime->zoneMinutes, -300);
    }
    const auto lowerCase = ReadStatusReport("07911326040000f006450d91683108108300f0"
                                            "42506001020323422113329585"
                                            "0a41",
                                            kReportLength);
    ASSERT_TRUE(lowerCase);
    EXPECT_EQ(lowerCase->status, 0x41);
    EXPECT_EQ(FormatTime(*lowerCase->dischargeTime), "2024-12-31 23:59:58");

    for (int status : {0x00, 0x01, 0x1F})
        EXPECT_EQ(StateOf(status), DeliveryState::Delivered) << status;
    for (int status : {0x20, 0x30, 0x3F})
        EXPECT_EQ(StateOf(status), DeliveryState::Pending) << status;
    for (int status : {0x40, 0x41, 0x5F, 0x60, 0x7F, 0x80, 0xFF})
        EXPECT_EQ(StateOf(status), DeliveryState::Failed) << status;
}

TEST(SmsModemPdu, BrokenStatusReportsAreRefusedWithoutReadingPastTheirEnd) {
    const std::string whole = Report();
    for (std::size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(ReadStatusReport(whole.substr(0, length), kReportLength)) << length;
    const std::string padding(80, '0');
    const std::string refused[] = {
        whole + "0",                                                    // half an octet
        "G" + whole.substr(1),                                          // no hex
        kCentre + std::string("04") + whole.substr(18),                 // a received message
        kCentre + std::string("0645FF91") + padding,                    // 255 digits
        "FF" + whole.substr(2),                                         // the centre runs past
        kCentre + std::string("06450D91683108108300F0") + "4250600102", // stops in a time
    };
    for (const std::string& pdu : refused)
        EXPECT_FALSE(ReadStatusReport(pdu, kReportLength)) << pdu;

    // A report without a valid time or with a named recipient is still a report.
    const auto badTime = ReadStatusReport(Report("42316001020323"), kReportLength);
    ASSERT_TRUE(badTime);
    EXPECT_FALSE(badTime->dischargeTime);
    const auto named = ReadStatusReport(kCentre + std::string("064507D0D4F29C0E") +
                                            "42506001020323" + kDischarge + "00",
                                        kReportLength - 3);
    ASSERT_TRUE(named);
    EXPECT_EQ(named->recipient, "");
    EXPECT_EQ(named->reference, 0x45);
}
