#pragma once

#include "data/ResultRows.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// Values for the positional '?' parameters of a statement, in order. A QString binds as text,
// integers as integers, bool as -1/0, a null QVariant as NULL.
using SqlParams = QVariantList;

struct SqlStatement {
    QString sql;
    SqlParams params;
};

// One prepared statement of SQLite, finalised when it goes. Every failure raises EDBException
// carrying the engine's text only; the caller adds the sentence for the user and the SQL.
class TStatement {
public:
    TStatement() = default;
    ~TStatement();
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    // Prepares the next statement of the UTF-8 text from offset on and moves offset past it.
    // False when only blanks and comments are left.
    bool PrepareNext(sqlite3* db, const QByteArray& text, int& offset);
    // Binds the parameters the statement asks for, taken from params starting at first.
    // Returns how many it took.
    int BindFrom(const SqlParams& params, int first);
    // True while a row is available.
    bool Step();
    void StepToEnd();
    QVariant Column(int index) const;
    sqlite3_stmt* Handle() const { return stmt; }

private:
    void Finalize();

    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
};

// Runs every statement of the text, binding params across them in order; rows are discarded.
void ExecScript(sqlite3* db, const QString& sql, const SqlParams& params = {});
[[noreturn]] void ThrowEngineError(sqlite3* db);

// "name" with inner quotes doubled: a custom field's name as an SQL identifier.
QString QuoteIdent(const QString& name);

// A client-side result set: the query runs once on Open and every row is kept compactly; a
// field becomes a QString or QVariant only when it is read. Sorting orders the rows' positions,
// the rows stay where they are. QuerySet is updatable: Append/Edit, SetField, Post write the one
// table the query reads through bound parameters.
class TDataSet {
public:
    enum class EditState { Browse, Edit, Insert };

    // Closes, runs the query and keeps its rows; the first row becomes current.
    void Open(sqlite3* db, const QString& sql, const SqlParams& params = {});
    // Runs the same query with the same parameters again; the sort expression stays.
    void Requery();
    void Close();
    bool IsOpen() const { return open; }
    const QString& Sql() const { return sql; }
    const SqlParams& Params() const { return params; }

    void First();
    void Next();
    bool Eof() const;
    // Index of the current row; RecordCount() when past the end.
    int RecNo() const { return current; }
    void MoveTo(int row);
    int RecordCount() const { return rows.Count(); }

    int FieldCount() const { return int(fields.size()); }
    QString FieldName(int field) const;
    // Case-insensitive; -1 when there is no such field. A name is looked for once per result:
    // a walk over the rows reading fields by name pays one lookup per field.
    int FieldIndex(const QString& name) const;

    QVariant Value(int field) const;
    QVariant Value(const QString& name) const;
    QString AsString(int field) const;
    QString AsString(const QString& name) const;
    int AsInteger(int field) const;
    int AsInteger(const QString& name) const;
    bool AsBoolean(const QString& name) const;
    QVariant ValueAt(int row, int field) const;
    // The field as AsString gives it, for the row at that position; empty outside the rows.
    QString TextAt(int row, int field) const;
    // The current row's field as a number: integers and reals as they are, a text holding a
    // number written the C way (blanks around it allowed). False for NULL and any other text,
    // leaving number as it was. Plain ASCII text is read without making a QString.
    bool AsNumber(int field, double& number) const;

    // Field names separated by commas, each optionally followed by " DESC"; unknown names are
    // ignored. Stable; numbers compare as numbers, texts as texts (case-insensitive), NULL
    // first. Returns the new position of every row, indexed by its old position.
    QList<int> SetSortExpression(const QString& expression);
    const QString& SortExpression() const { return sortExpression; }

    void Append();
    void Edit();
    void SetField(const QString& name, const QVariant& value);
    void Post();
    // Drops a pending append or edit. Moving to another row posts it instead.
    void Cancel();
    EditState State() const { return state; }

private:
    void PostPending();
    void ReadRows(TStatement& statement);
    bool HasCell(int row, int field) const;
    // The stored row shown at a position.
    int StoredRow(int row) const { return order.empty() ? row : int(order[size_t(row)]); }
    void ReadColumnOrigins(sqlite3_stmt* statement);
    int RequireField(const QString& name) const;
    std::vector<TSortKey> ParseSortExpression(const QString& expression) const;
    QString RequireUpdatableTable() const;
    QString RowidAliasColumn(const QString& table) const;
    QList<int> OriginFields() const;
    qint64 LocateOriginalRow(const QString& table);
    qint64 InsertBuffer(const QString& table);
    void UpdateBuffer(const QString& table, qint64 rowid);
    void RereadBuffer(const QString& table, qint64 rowid);
    [[noreturn]] void FailPost(const QString& reason) const;

    sqlite3* db = nullptr;
    bool open = false;
    QString sql;
    SqlParams params;
    QStringList fields;
    QStringList originTables;  // per field: the table it comes from, or empty
    QStringList originColumns; // per field: the column it comes from, or empty
    mutable QHash<QString, int> fieldLookup;
    TResultRows rows;
    std::vector<quint32> order; // the stored row at every position once sorted; empty before
    int current = 0;
    QString sortExpression;

    EditState state = EditState::Browse;
    QVariantList buffer;
    QVariantList original;
    QList<bool> modified;
    QString lastStatement;
};
