#include "PduReader.h"

#include <QByteArray>

namespace {

class OctetReader {
public:
    explicit OctetReader(QByteArray octets) : octets_(std::move(octets)) {}
    bool has(int count) const { return at_ + count <= octets_.size(); }
    int next() { return static_cast<unsigned char>(octets_[at_++]); }
    QByteArray take(int count) {
        const QByteArray part = octets_.mid(at_, count);
        at_ += count;
        return part;
    }

private:
    QByteArray octets_;
    int at_ = 0;
};

QString SemiOctetDigits(const QByteArray& octets, int digitCount) {
    QString digits;
    for (const char octet : octets) {
        const auto value = static_cast<unsigned char>(octet);
        digits += QChar('0' + (value & 0x0F));
        digits += QChar('0' + (value >> 4));
    }
    return digits.left(digitCount);
}

QString Ucs2Text(const QByteArray& octets) {
    QString text;
    for (int i = 0; i + 1 < octets.size(); i += 2)
        text += QChar(static_cast<char16_t>((static_cast<unsigned char>(octets[i]) << 8) |
                                            static_cast<unsigned char>(octets[i + 1])));
    return text;
}

} // namespace

std::optional<SubmitPdu> ReadSubmitPdu(const std::string& hex) {
    OctetReader reader(QByteArray::fromHex(QByteArray::fromStdString(hex)));
    SubmitPdu pdu;
    if (!reader.has(1))
        return std::nullopt;
    pdu.serviceCentreLength = reader.next();
    if (!reader.has(pdu.serviceCentreLength + 4))
        return std::nullopt;
    reader.take(pdu.serviceCentreLength);
    pdu.firstOctet = reader.next();
    reader.next(); // message reference
    const int digitCount = reader.next();
    pdu.numberType = reader.next();
    if (!reader.has((digitCount + 1) / 2 + 3))
        return std::nullopt;
    pdu.number = SemiOctetDigits(reader.take((digitCount + 1) / 2), digitCount);
    pdu.protocolId = reader.next();
    pdu.codingScheme = reader.next();
    if ((pdu.firstOctet & 0x18) == 0x10 && reader.has(1))
        pdu.validity = reader.next();
    if (!reader.has(1))
        return std::nullopt;
    pdu.userDataLength = reader.next();
    if (!reader.has(pdu.userDataLength))
        return std::nullopt;
    OctetReader userData(reader.take(pdu.userDataLength));
    int headerLength = 0;
    pdu.hasHeader = (pdu.firstOctet & 0x40) != 0;
    if (pdu.hasHeader) {
        headerLength = userData.next();
        if (headerLength != 5 || userData.next() != 0x00 || userData.next() != 0x03)
            return std::nullopt;
        pdu.reference = userData.next();
        pdu.total = userData.next();
        pdu.sequence = userData.next();
    }
    pdu.text = Ucs2Text(userData.take(pdu.userDataLength - (pdu.hasHeader ? 1 + headerLength : 0)));
    return pdu;
}
