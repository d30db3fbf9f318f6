#include "util/Scramble.h"

#include "util/Gbk.h"

#include <QRandomGenerator>

#include <optional>

namespace {

constexpr int InnerKeyLength = 6;
// The scrambled inner key: offset plus six bytes, two digits each.
constexpr int InnerKeyDigits = 2 + 2 * InnerKeyLength;

// Hands out the key's bytes cyclically from the first; an empty key gives 0 (no XOR).
class TKeyCycle {
public:
    explicit TKeyCycle(const QByteArray& key) : key(key) {}
    quint8 Next() {
        if (key.isEmpty())
            return 0;
        const auto byte = static_cast<quint8>(key[position]);
        position = (position + 1) % key.size();
        return byte;
    }

private:
    const QByteArray& key;
    qsizetype position = 0;
};

void AppendHex(QByteArray& text, quint8 value) {
    static const char digits[] = "0123456789ABCDEF";
    text.append(digits[value >> 4]);
    text.append(digits[value & 0x0F]);
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value of the (at most two) digits at index; an empty piece or one holding a non-digit is
// 0.
int HexPieceValue(const QByteArray& text, qsizetype index) {
    const QByteArray piece = text.mid(index, 2);
    if (piece.isEmpty())
        return 0;
    int value = 0;
    for (const char c : piece) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return 0;
        value = value * 16 + digit;
    }
    return value;
}

std::optional<QRandomGenerator>& SeededRandom() {
    static std::optional<QRandomGenerator> generator;
    return generator;
}

QRandomGenerator& Random() {
    std::optional<QRandomGenerator>& seeded = SeededRandom();
    return seeded ? *seeded : *QRandomGenerator::global();
}

quint8 RandomOffset() {
    return static_cast<quint8>(Random().bounded(256));
}

// The rule with exactly this offset; some offsets cannot carry every source (see below).
QByteArray ScrambleFrom(const QByteArray& source, const QByteArray& key, quint8 offset) {
    QByteArray result;
    result.reserve(2 + 2 * source.size());
    AppendHex(result, offset);
    TKeyCycle keyBytes(key);
    int previous = offset;
    for (const char c : source) {
        int value = (static_cast<quint8>(c) + previous) % 255;
        value ^= keyBytes.Next();
        AppendHex(result, static_cast<quint8>(value));
        previous = value;
    }
    return result;
}

// What unscrambling is to give back: a zero byte returns as 255.
QByteArray Recoverable(QByteArray source) {
    source.replace('\0', '\xFF');
    return source;
}

} // namespace

// After a scrambled value of 255 a source byte of 255 comes back as 0, so an offset whose chain
// runs into that is passed over for the next one. Should none serve, the first is kept.
QByteArray Scramble(const QByteArray& source, const QByteArray& key, quint8 offset) {
    if (source.isEmpty())
        return {};
    const QByteArray wanted = Recoverable(source);
    for (int step = 0; step < 256; ++step) {
        QByteArray result = ScrambleFrom(source, key, static_cast<quint8>(offset + step));
        if (Unscramble(result, key) == wanted)
            return result;
    }
    return ScrambleFrom(source, key, offset);
}

QByteArray Scramble(const QByteArray& source, const QByteArray& key) {
    return Scramble(source, key, RandomOffset());
}

QByteArray Unscramble(const QByteArray& scrambled, const QByteArray& key) {
    if (scrambled.isEmpty())
        return {};
    QByteArray result;
    TKeyCycle keyBytes(key);
    int previous = HexPieceValue(scrambled, 0);
    qsizetype index = 2;
    // Runs at least once, so a text of only an offset still gives one byte.
    do {
        const int value = HexPieceValue(scrambled, index);
        const int plain = value ^ keyBytes.Next();
        const int byte = previous < plain ? plain - previous : plain - previous + 255;
        result.append(static_cast<char>(byte));
        previous = value;
        index += 2;
    } while (index + 1 < scrambled.size());
    return result;
}

QByteArray RandomKey(int count) {
    QByteArray key;
    for (int i = 0; i < count; ++i) {
        const int r = Random().bounded(36);
        key.append(static_cast<char>(r <= 9 ? '0' + r : 'a' + (r - 10)));
    }
    return key;
}

void SeedScrambleRandom(quint32 seed) {
    SeededRandom().emplace(seed);
}

QByteArray ScrambleWithInnerKey(const QByteArray& source, const QByteArray& key) {
    const QByteArray inner = RandomKey(InnerKeyLength);
    return Scramble(inner, key) + Scramble(source, inner);
}

QByteArray UnscrambleWithInnerKey(const QByteArray& scrambled, const QByteArray& key) {
    const QByteArray inner = Unscramble(scrambled.left(InnerKeyDigits), key);
    return Unscramble(scrambled.mid(InnerKeyDigits), inner);
}

QString Scramble(const QString& source, const QString& key) {
    return QString::fromLatin1(Scramble(ToGbk(source), ToGbk(key)));
}

QString Unscramble(const QString& scrambled, const QString& key) {
    return FromGbk(Unscramble(ToGbk(scrambled), ToGbk(key)));
}

QString ScrambleWithInnerKey(const QString& source, const QString& key) {
    return QString::fromLatin1(ScrambleWithInnerKey(ToGbk(source), ToGbk(key)));
}

QString UnscrambleWithInnerKey(const QString& scrambled, const QString& key) {
    return FromGbk(UnscrambleWithInnerKey(ToGbk(scrambled), ToGbk(key)));
}
