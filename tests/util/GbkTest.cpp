#include "util/Gbk.h"

#include <gtest/gtest.h>

TEST(Gbk, ChineseIsTwoBytesAndRoundTrips) {
    const QString text = QStringLiteral("点右键ab");
    EXPECT_EQ(GbkLength(text), 8);
    EXPECT_EQ(FromGbk(ToGbk(text)), text);
    EXPECT_EQ(ToGbk(QStringLiteral("中")), QByteArray("\xD6\xD0"));
}

TEST(Gbk, UnrepresentableCharacterBecomesQuestionMark) {
    EXPECT_EQ(ToGbk(QString::fromUcs4(U"a\U0001F600b")), QByteArray("a?b"));
    EXPECT_EQ(FirstCharacterOutsideGbk(QString::fromUcs4(U"?张a\U0001F600b\U0001F601")),
              QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(FirstCharacterOutsideGbk(QStringLiteral("张三?")), QString());
}
