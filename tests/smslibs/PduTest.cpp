#include "Pdu.h"

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
