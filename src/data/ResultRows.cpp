#include "data/ResultRows.h"

#include "data/Exceptions.h"

#include <sqlite3.h>
#include <sys/mman.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>
#include <utility>

namespace {

constexpr size_t kFirstBlock = 4096;
constexpr size_t kLargestBlock = size_t(4) << 20;
constexpr size_t kHeaderPerField = sizeof(quint32) + sizeof(TResultRows::Kind);
constexpr size_t kHugePage = size_t(2) << 20;

// A block of rows. The largest ones sit on huge pages where the system offers them: a result of
// a million rows then costs a few hundred page faults instead of tens of thousands.
char* NewBlock(size_t size) {
    if (size % kHugePage != 0)
        return static_cast<char*>(std::malloc(size));
    void* block = std::aligned_alloc(kHugePage, size);
    if (block)
        madvise(block, size, MADV_HUGEPAGE);
    return static_cast<char*>(block);
}

quint32 Load32(const char* from) {
    quint32 value;
    std::memcpy(&value, from, sizeof value);
    return value;
}

void Store32(char* to, quint32 value) {
    std::memcpy(to, &value, sizeof value);
}

bool IsAscii(QByteArrayView bytes) {
    for (const char ch : bytes)
        if (uchar(ch) >= 0x80)
            return false;
    return true;
}

bool IsBlank(char ch) {
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

QByteArrayView TrimmedAscii(QByteArrayView bytes) {
    qsizetype first = 0;
    qsizetype last = bytes.size();
    while (first < last && IsBlank(bytes[first]))
        ++first;
    while (last > first && IsBlank(bytes[last - 1]))
        --last;
    return bytes.sliced(first, last - first);
}

template <typename Number> QByteArray NumberBytes(Number number) {
    return QByteArray(reinterpret_cast<const char*>(&number), sizeof number);
}

// A value set on an edited row, kept the way it would be read back: bool as -1/0.
TResultRows::Kind Encode(const QVariant& value, QByteArray& bytes) {
    if (!value.isValid() || value.isNull())
        return TResultRows::Kind::Null;
    switch (value.typeId()) {
    case QMetaType::Bool:
        bytes = NumberBytes(qint64(value.toBool() ? -1 : 0));
        return TResultRows::Kind::Integer;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        bytes = NumberBytes(qint64(value.toLongLong()));
        return TResultRows::Kind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        bytes = NumberBytes(value.toDouble());
        return TResultRows::Kind::Real;
    case QMetaType::QByteArray:
        bytes = value.toByteArray();
        return TResultRows::Kind::Blob;
    default:
        bytes = value.toString().toUtf8();
        return TResultRows::Kind::Text;
    }
}

} // namespace

// ---- cells ----

qint64 TResultRows::Cell::Integer() const {
    qint64 value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

double TResultRows::Cell::Real() const {
    double value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

QString CellText(const TResultRows::Cell& cell) {
    switch (cell.kind) {
    case TResultRows::Kind::Integer:
        return QString::number(cell.Integer());
    case TResultRows::Kind::Real:
        return QString::number(cell.Real(), 'g', 15);
    case TResultRows::Kind::Text:
    case TResultRows::Kind::Blob:
        return QString::fromUtf8(cell.data, cell.size);
    default:
        return QString();
    }
}

int CellInteger(const TResultRows::Cell& cell) {
    switch (cell.kind) {
    case TResultRows::Kind::Integer:
        return int(cell.Integer());
    case TResultRows::Kind::Real:
        return int(std::llround(cell.Real()));
    case TResultRows::Kind::Text:
        return VariantToInteger(QString::fromUtf8(cell.data, cell.size));
    case TResultRows::Kind::Blob:
        return VariantToInteger(QByteArray(cell.data, cell.size));
    default:
        return 0;
    }
}

bool TextToNumber(QByteArrayView utf8, double& number) {
    if (!IsAscii(utf8)) {
        bool ok = false;
        number = QString::fromUtf8(utf8).trimmed().toDouble(&ok);
        return ok && std::isfinite(number);
    }
    QByteArrayView text = TrimmedAscii(utf8);
    if (text.startsWith('+') && !text.sliced(1).startsWith('-'))
        text = text.sliced(1);
    if (text.isEmpty())
        return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && stop == end && std::isfinite(number);
}

bool CellNumber(const TResultRows::Cell& cell, double& number) {
    switch (cell.kind) {
    case TResultRows::Kind::Integer:
        number = double(cell.Integer());
        return true;
    case TResultRows::Kind::Real:
        number = cell.Real();
        return true;
    case TResultRows::Kind::Text:
        return TextToNumber(cell.Bytes(), number);
    default:
        return false;
    }
}

// ---- storage ----

TResultRows::~TResultRows() {
    Free();
}

TResultRows::TResultRows(TResultRows&& other) noexcept {
    *this = std::move(other);
}

TResultRows& TResultRows::operator=(TResultRows&& other) noexcept {
    if (this == &other)
        return *this;
    Free();
    fields = std::exchange(other.fields, 0);
    blocks = std::move(other.blocks);
    blockUsed = std::exchange(other.blockUsed, 0);
    blockSize = std::exchange(other.blockSize, 0);
    allocated = std::exchange(other.allocated, 0);
    records = std::move(other.records);
    scratch = std::move(other.scratch);
    numbers = std::move(other.numbers);
    other.blocks.clear();
    other.records.clear();
    other.scratch.clear();
    other.numbers.clear();
    return *this;
}

void TResultRows::Free() {
    for (char* block : blocks)
        std::free(block);
    blocks.clear();
    blocks.shrink_to_fit();
    std::vector<const char*>().swap(records);
    blockUsed = blockSize = allocated = 0;
}

void TResultRows::Reset(int fieldCount) {
    Free();
    fields = fieldCount;
    scratch.assign(size_t(fieldCount), Cell());
    numbers.assign(size_t(fieldCount), 0);
}

char* TResultRows::NewRecord(size_t payload) {
    if (payload > std::numeric_limits<quint32>::max())
        throw EDBException(QStringLiteral("一行数据太大"), QString(), QString());
    const size_t size = kHeaderPerField * size_t(fields) + payload;
    if (blocks.empty() || blockSize - blockUsed < size) {
        const size_t next = std::max(size, std::clamp(allocated, kFirstBlock, kLargestBlock));
        char* block = NewBlock(next);
        if (!block)
            throw std::bad_alloc();
        blocks.push_back(block);
        blockUsed = 0;
        blockSize = next;
        allocated += next;
    }
    char* record = blocks.back() + blockUsed;
    blockUsed += size;
    return record;
}

// Each field is read through its sqlite3_value: one call that locks the connection per field
// instead of three. Such a value may be read without the lock because the connection is only
// ever used from one thread.
int TResultRows::AppendFrom(sqlite3_stmt* statement) {
    size_t payload = 0;
    for (int i = 0; i < fields; ++i) {
        Cell& cell = scratch[size_t(i)];
        sqlite3_value* value = sqlite3_column_value(statement, i);
        switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            numbers[size_t(i)] = sqlite3_value_int64(value);
            cell = {Kind::Integer, reinterpret_cast<const char*>(&numbers[size_t(i)]), 8};
            break;
        case SQLITE_FLOAT: {
            const double real = sqlite3_value_double(value);
            std::memcpy(&numbers[size_t(i)], &real, sizeof real);
            cell = {Kind::Real, reinterpret_cast<const char*>(&numbers[size_t(i)]), 8};
            break;
        }
        case SQLITE_TEXT:
            cell.kind = Kind::Text;
            cell.data = reinterpret_cast<const char*>(sqlite3_value_text(value));
            cell.size = quint32(sqlite3_value_bytes(value));
            break;
        case SQLITE_BLOB:
            cell.kind = Kind::Blob;
            cell.data = static_cast<const char*>(sqlite3_value_blob(value));
            cell.size = quint32(sqlite3_value_bytes(value));
            break;
        default:
            cell = {Kind::Null, nullptr, 0};
        }
        payload += cell.size;
    }
    char* record = NewRecord(payload);
    char* kinds = record + sizeof(quint32) * size_t(fields);
    char* bytes = kinds + fields;
    quint32 end = 0;
    for (int i = 0; i < fields; ++i) {
        const Cell& cell = scratch[size_t(i)];
        if (cell.size)
            std::memcpy(bytes + end, cell.data, cell.size);
        end += cell.size;
        Store32(record + sizeof(quint32) * size_t(i), end);
        kinds[i] = char(cell.kind);
    }
    records.push_back(record);
    return Count() - 1;
}

const char* TResultRows::Record(const QVariantList& values) {
    const auto count = size_t(fields);
    std::vector<QByteArray> bytes(count);
    std::vector<Kind> kinds(count);
    size_t payload = 0;
    for (int i = 0; i < fields; ++i) {
        kinds[size_t(i)] = Encode(values.value(i), bytes[size_t(i)]);
        payload += size_t(bytes[size_t(i)].size());
    }
    char* record = NewRecord(payload);
    char* kindBytes = record + sizeof(quint32) * size_t(fields);
    char* data = kindBytes + fields;
    quint32 end = 0;
    for (int i = 0; i < fields; ++i) {
        const QByteArray& held = bytes[size_t(i)];
        std::memcpy(data + end, held.constData(), size_t(held.size()));
        end += quint32(held.size());
        Store32(record + sizeof(quint32) * size_t(i), end);
        kindBytes[i] = char(kinds[size_t(i)]);
    }
    return record;
}

int TResultRows::Append(const QVariantList& values) {
    records.push_back(Record(values));
    return Count() - 1;
}

void TResultRows::Replace(int row, const QVariantList& values) {
    records[size_t(row)] = Record(values);
}

void TResultRows::Squeeze() {
    records.shrink_to_fit();
    if (blocks.empty() || blockUsed == blockSize || blockUsed == 0)
        return;
    const auto start = reinterpret_cast<uintptr_t>(blocks.back());
    char* kept = static_cast<char*>(std::realloc(blocks.back(), blockUsed));
    if (!kept)
        return;
    allocated -= blockSize - blockUsed;
    blockSize = blockUsed;
    blocks.back() = kept;
    if (reinterpret_cast<uintptr_t>(kept) == start)
        return;
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        const auto at = reinterpret_cast<uintptr_t>(*record);
        if (at < start || at >= start + blockUsed)
            break;
        *record = kept + (at - start);
    }
}

TResultRows::Cell TResultRows::At(int row, int field) const {
    const char* record = records[size_t(row)];
    const quint32 end = Load32(record + sizeof(quint32) * size_t(field));
    const quint32 start = field > 0 ? Load32(record + sizeof(quint32) * size_t(field - 1)) : 0;
    const char* kinds = record + sizeof(quint32) * size_t(fields);
    return {Kind(kinds[field]), kinds + fields + start, end - start};
}

QVariant TResultRows::Value(int row, int field) const {
    const Cell cell = At(row, field);
    switch (cell.kind) {
    case Kind::Integer:
        return QVariant::fromValue<qlonglong>(cell.Integer());
    case Kind::Real:
        return cell.Real();
    case Kind::Text:
        return QString::fromUtf8(cell.data, cell.size);
    case Kind::Blob:
        return QByteArray(cell.data, cell.size);
    default:
        return QVariant();
    }
}

QVariantList TResultRows::Values(int row) const {
    QVariantList values;
    values.reserve(fields);
    for (int field = 0; field < fields; ++field)
        values << Value(row, field);
    return values;
}

// ---- sorting ----

namespace {

enum Rank : quint8 { NullRank, NumberRank, TextRank, BlobRank };

// A row's key in one field, extracted once per sort. Texts are kept case-folded in UTF-16,
// the form their case-insensitive comparison works on.
struct FieldKey {
    Rank rank = NullRank;
    bool integral = false;
    qint64 integer = 0;
    double real = 0;
    const char* blob = nullptr;
    size_t offset = 0;
    size_t size = 0;
};

// Where the first key of a row orders it in one comparison: its rank, then its first units
// packed into a number; length tells whether those units were the whole key.
struct SortEntry {
    quint64 prefix;
    quint32 position;
    Rank rank;
    quint8 length;
};

constexpr quint8 kPartial = 0xFF;
constexpr int kPrefixUnits = 4;
constexpr int kPrefixBytes = 8;
constexpr qint64 kExactInDouble = qint64(1) << 53;

void AppendFolded(QByteArrayView utf8, std::u16string& folded) {
    if (IsAscii(utf8)) {
        for (const char ch : utf8)
            folded.push_back(char16_t(ch >= 'A' && ch <= 'Z' ? ch + ('a' - 'A') : ch));
        return;
    }
    const QString text = QString::fromUtf8(utf8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        code = QChar::toCaseFolded(code);
        if (QChar::requiresSurrogates(code)) {
            folded.push_back(QChar::highSurrogate(code));
            folded.push_back(QChar::lowSurrogate(code));
        } else {
            folded.push_back(char16_t(code));
        }
    }
}

FieldKey ExtractKey(const TResultRows::Cell& cell, std::u16string& folded) {
    FieldKey key;
    switch (cell.kind) {
    case TResultRows::Kind::Integer:
        key.rank = NumberRank;
        key.integral = true;
        key.integer = cell.Integer();
        key.real = double(key.integer);
        break;
    case TResultRows::Kind::Real:
        key.rank = NumberRank;
        key.real = cell.Real() == 0 ? 0.0 : cell.Real();
        break;
    case TResultRows::Kind::Text:
        key.rank = TextRank;
        key.offset = folded.size();
        AppendFolded(cell.Bytes(), folded);
        key.size = folded.size() - key.offset;
        break;
    case TResultRows::Kind::Blob:
        key.rank = BlobRank;
        key.blob = cell.data;
        key.size = cell.size;
        break;
    default:
        break;
    }
    return key;
}

int Sign(auto difference) {
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

int CompareKeys(const FieldKey& a, const FieldKey& b, const std::u16string& folded) {
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    switch (a.rank) {
    case NumberRank:
        if (a.integral && b.integral)
            return a.integer < b.integer ? -1 : (a.integer > b.integer);
        return a.real < b.real ? -1 : (a.real > b.real);
    case TextRank:
        return Sign(std::u16string_view(folded)
                        .substr(a.offset, a.size)
                        .compare(std::u16string_view(folded).substr(b.offset, b.size)));
    case BlobRank:
        return Sign(std::string_view(a.blob, a.size).compare(std::string_view(b.blob, b.size)));
    default:
        return 0;
    }
}

quint64 OrderedBits(double real) {
    const auto bits = std::bit_cast<quint64>(real);
    return bits >> 63 ? ~bits : bits | (quint64(1) << 63);
}

SortEntry EntryOf(quint32 position, const FieldKey& key, const std::u16string& folded) {
    SortEntry entry{0, position, key.rank, 0};
    switch (key.rank) {
    case NumberRank:
        entry.prefix = OrderedBits(key.real);
        if (key.integral && (key.integer > kExactInDouble || key.integer < -kExactInDouble))
            entry.length = kPartial;
        break;
    case TextRank:
        for (size_t i = 0; i < size_t(kPrefixUnits); ++i)
            entry.prefix = entry.prefix << 16 | (i < key.size ? folded[key.offset + i] : 0);
        entry.length = key.size <= size_t(kPrefixUnits) ? quint8(key.size) : kPartial;
        break;
    case BlobRank:
        for (size_t i = 0; i < size_t(kPrefixBytes); ++i)
            entry.prefix = entry.prefix << 8 | (i < key.size ? uchar(key.blob[i]) : 0);
        entry.length = key.size <= size_t(kPrefixBytes) ? quint8(key.size) : kPartial;
        break;
    default:
        break;
    }
    return entry;
}

// -1, 0 or 1 when the entries alone decide; kUndecided when the whole keys must be compared.
constexpr int kUndecided = 2;

int CompareEntries(const SortEntry& a, const SortEntry& b) {
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    if (a.prefix != b.prefix)
        return a.prefix < b.prefix ? -1 : 1;
    if (a.length == kPartial || b.length == kPartial)
        return kUndecided;
    return Sign(int(a.length) - int(b.length));
}

} // namespace

std::vector<quint32> TResultRows::SortPositions(const std::vector<quint32>& rowAt,
                                                const std::vector<TSortKey>& keys) const {
    const auto count = quint32(Count());
    std::u16string folded;
    std::vector<std::vector<FieldKey>> fieldKeys(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        fieldKeys[k].reserve(count);
        for (quint32 position = 0; position < count; ++position) {
            const int row = int(rowAt.empty() ? position : rowAt[position]);
            fieldKeys[k].push_back(ExtractKey(At(row, keys[k].field), folded));
        }
    }
    std::vector<SortEntry> entries;
    entries.reserve(count);
    for (quint32 position = 0; position < count; ++position)
        entries.push_back(EntryOf(position, fieldKeys[0][position], folded));

    const auto less = [&](const SortEntry& a, const SortEntry& b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            int order = k == 0 ? CompareEntries(a, b) : kUndecided;
            if (order == kUndecided)
                order = CompareKeys(fieldKeys[k][a.position], fieldKeys[k][b.position], folded);
            if (order != 0)
                return keys[k].descending ? order > 0 : order < 0;
        }
        return a.position < b.position;
    };
    std::sort(entries.begin(), entries.end(), less);

    std::vector<quint32> positions;
    positions.reserve(count);
    for (const SortEntry& entry : entries)
        positions.push_back(entry.position);
    return positions;
}

QString VariantToText(const QVariant& value) {
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

int VariantToInteger(const QVariant& value) {
    if (value.isNull())
        return 0;
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return int(value.toLongLong());
    case QMetaType::Double:
        return int(std::llround(value.toDouble()));
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        bool ok = false;
        const qlonglong whole = text.toLongLong(&ok);
        if (ok)
            return int(whole);
        const double number = text.toDouble(&ok);
        return ok ? int(std::llround(number)) : 0;
    }
    default:
        return value.toInt();
    }
}
