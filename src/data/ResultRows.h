#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <vector>

struct sqlite3_stmt;

// Conversions shared by the rows, the cursors and the grid model.
QString VariantToText(const QVariant& value);
int VariantToInteger(const QVariant& value);

// One field of a sort: the field's index and its direction.
struct TSortKey {
    int field;
    bool descending;
};

// The rows of a result set, kept compactly in a few large blocks. A row is one record: per
// field its kind and where its bytes end, then the bytes (UTF-8 texts and blobs as read,
// integers and reals as 8-byte numbers). NULL is its own kind, apart from an empty text.
class TResultRows {
public:
    enum class Kind : quint8 { Null, Integer, Real, Text, Blob };

    // One field of one row, valid while the rows live.
    struct Cell {
        Kind kind = Kind::Null;
        const char* data = nullptr;
        quint32 size = 0;

        qint64 Integer() const;
        double Real() const;
        QByteArrayView Bytes() const { return QByteArrayView(data, size); }
    };

    TResultRows() = default;
    ~TResultRows();
    TResultRows(TResultRows&& other) noexcept;
    TResultRows& operator=(TResultRows&& other) noexcept;
    TResultRows(const TResultRows&) = delete;
    TResultRows& operator=(const TResultRows&) = delete;

    // Frees every row and starts over with fieldCount fields.
    void Reset(int fieldCount);
    int FieldCount() const { return fields; }
    int Count() const { return int(records.size()); }

    // Keeps the statement's current row; returns its index.
    int AppendFrom(sqlite3_stmt* statement);
    int Append(const QVariantList& values);
    // The row gets the values; its old record stays unused until the rows are freed.
    void Replace(int row, const QVariantList& values);
    // Gives back what reading left unused, once every row is in.
    void Squeeze();

    // The positions 0 .. Count() - 1 in the order of the keys, stable: numbers as numbers, texts
    // without regard to case, NULL first. rowAt gives the row at each position; empty means the
    // row of the same index.
    std::vector<quint32> SortPositions(const std::vector<quint32>& rowAt,
                                       const std::vector<TSortKey>& keys) const;

    Cell At(int row, int field) const;
    QVariant Value(int row, int field) const;
    QVariantList Values(int row) const;

private:
    char* NewRecord(size_t payload);
    const char* Record(const QVariantList& values);
    void Free();

    int fields = 0;
    std::vector<char*> blocks;
    size_t blockUsed = 0;
    size_t blockSize = 0;
    size_t allocated = 0;
    std::vector<const char*> records;
    // Reused while reading a row from a statement.
    std::vector<Cell> scratch;
    std::vector<qint64> numbers;
};

// A cell as the cursors show it: NULL as an empty text, reals with 15 significant digits.
QString CellText(const TResultRows::Cell& cell);
// A cell as the cursors read it as an integer: NULL and text that is no number give 0.
int CellInteger(const TResultRows::Cell& cell);
// A cell's number: integers and reals as they are, a text when it holds a number written the C
// way (blanks around it allowed, no thousands separators). Plain ASCII text is parsed in place.
bool CellNumber(const TResultRows::Cell& cell, double& number);
bool TextToNumber(QByteArrayView utf8, double& number);
