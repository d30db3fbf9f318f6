#include "util/Scramble.h"
#include "util/HomePage.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QStringList>

namespace {

QByteArray AllNonZeroBytes() {
    QByteArray bytes;
    for (int b = 1; b <= 255; ++b)
        bytes.append(static_cast<char>(b));
    return bytes;
}

} // namespace

TEST(Scramble, EveryNonZeroByteRoundTripsFromEveryOffsetUnderAnyKey) {
    const QByteArray all = AllNonZeroBytes();
    const QByteArray longKey = QByteArray(300, 'k') + "\xFF\x80";
    for (const QByteArray& key :
         {QByteArray("qxj"), QByteArray("\xC3\xDC\xD4\xBF"), longKey, QByteArray()}) {
        for (int offset = 0; offset <= 255; ++offset) {
            const QByteArray scrambled = Scramble(all, key, quint8(offset));
            EXPECT_EQ(scrambled.size(), 2 + 2 * all.size());
            EXPECT_EQ(Unscramble(scrambled, key), all) << key.toHex().constData() << offset;
            for (const char byte : all) {
                const QByteArray one(1, byte);
                ASSERT_EQ(Unscramble(Scramble(one, key, quint8(offset)), key), one)
                    << key.toHex().constData() << offset << int(quint8(byte));
            }
        }
    }
    // Offset 255 would bring 255 back as 0, so the next offset is written instead.
    EXPECT_EQ(Scramble("\xFF", "", 0xFF), QByteArray("0000"));
    // A zero byte cannot be told from 255.
    EXPECT_EQ(Unscramble(Scramble(QByteArray(1, '\0'), QByteArray("qxj")), QByteArray("qxj")),
              QByteArray("\xFF"));
}

TEST(Scramble, ChainsByModulus255AndReusesTheKeyFromItsFirstByte) {
    // 0x61+0x10=0x71^0x41=0x30; 0x62+0x30=0x92^0x42=0xD0; (0x63+0xD0)%255=0x34^0x41=0x75.
    EXPECT_EQ(Scramble("abc", "AB", 0x10), QByteArray("1030D075"));
    EXPECT_EQ(Scramble("\xFF", "\x01", 0), QByteArray("0001"));
    EXPECT_EQ(Scramble("\x01", "", 0x0A), QByteArray("0A0B"));
    EXPECT_EQ(Unscramble(QByteArray("1030d075"), QByteArray("AB")), QByteArray("abc"));
    EXPECT_EQ(Scramble(QByteArray(), "AB"), QByteArray());
    EXPECT_EQ(Unscramble(QByteArray(), "AB"), QByteArray());
}

TEST(Scramble, LengthsOfSingleAndDoubleLayers) {
    EXPECT_EQ(Scramble(QByteArray("abc"), QByteArray("qxj")).size(), 8);
    const QString chinese = QStringLiteral("客户");
    const QString scrambled = Scramble(chinese, QStringLiteral("qxj"));
    EXPECT_EQ(scrambled.size(), 10);
    EXPECT_EQ(Unscramble(scrambled, QStringLiteral("qxj")), chinese);
    const QString doubled =
        ScrambleWithInnerKey(QStringLiteral("0123456789"), QStringLiteral("密钥"));
    EXPECT_EQ(doubled.size(), 36);
    EXPECT_EQ(UnscrambleWithInnerKey(doubled, QStringLiteral("密钥")),
              QStringLiteral("0123456789"));
}

TEST(Scramble, RepeatedScramblingsDifferAndAllUnscramble) {
    const auto scrambleTenTimes = [] {
        QStringList results;
        for (int i = 0; i < 10; ++i)
            results << Scramble(QStringLiteral("密码abc"), QStringLiteral("qxj"));
        return results;
    };
    SeedScrambleRandom(2024);
    const QStringList results = scrambleTenTimes();
    for (const QString& scrambled : results) {
        EXPECT_EQ(scrambled, scrambled.toUpper());
        EXPECT_EQ(Unscramble(scrambled, QStringLiteral("qxj")), QStringLiteral("密码abc"));
    }
    EXPECT_GT(QSet<QString>(results.begin(), results.end()).size(), 1);
    // A seed gives the same draws again.
    SeedScrambleRandom(2024);
    EXPECT_EQ(scrambleTenTimes(), results);
    const QByteArray key = RandomKey(200);
    EXPECT_EQ(key.size(), 200);
    for (const char c : key)
        EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')) << c;
}

TEST(Scramble, MalformedInputGivesSomeTextWithoutFailing) {
    // prev 0x10; "ZZ" counts as 0: 0^0x41 = 0x41, 0x41-0x10 = 0x31.
    EXPECT_EQ(Unscramble(QByteArray("10ZZ"), QByteArray("AB")), QByteArray("1"));
    // Only an offset still yields one byte; a lone last digit is a one-digit number:
    // (0x03 ^ 0x41) - 0x10 = 0x32.
    EXPECT_EQ(Unscramble(QByteArray("10"), QByteArray("AB")).size(), 1);
    EXPECT_EQ(Unscramble(QByteArray("103"), QByteArray("AB")), QByteArray("2"));
    EXPECT_FALSE(Unscramble(QStringLiteral("中文!?garbage"), QStringLiteral("qxj")).isEmpty());
    EXPECT_TRUE(UnscrambleWithInnerKey(QStringLiteral("12"), QStringLiteral("qxj")).isEmpty());
    EXPECT_FALSE(
        UnscrambleWithInnerKey(QStringLiteral("xyz0123456789abcdefXYZ"), QStringLiteral("qxj"))
            .isEmpty());
}

TEST(HomePage, AddressUnscramblesFromTheStoredConstant) {
    EXPECT_EQ(HomePageAddress(), QStringLiteral("https://www.example.com/hesen/"));
}
