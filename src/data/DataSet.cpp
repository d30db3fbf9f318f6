#include "data/DataSet.h"

#include "data/Exceptions.h"

#include <QDate>
#include <QDateTime>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const QString kOperationFailed = QStringLiteral("数据库操作失败！");
const QString kQueryFailed = QStringLiteral("数据库查询错误，请检查！");

[[noreturn]] void ThrowText(const QString& text) {
    throw EDBException(text, QString(), QString());
}

int BindValue(sqlite3_stmt* stmt, int index, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(stmt, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return sqlite3_bind_int(stmt, index, value.toBool() ? -1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return sqlite3_bind_int64(stmt, index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    case QMetaType::QDate:
        return sqlite3_bind_text(stmt, index, value.toDate().toString("yyyy-MM-dd").toUtf8(), -1,
                                 SQLITE_TRANSIENT);
    case QMetaType::QDateTime:
        return sqlite3_bind_text(stmt, index,
                                 value.toDateTime().toString("yyyy-MM-dd hh:mm:ss").toUtf8(), -1,
                                 SQLITE_TRANSIENT);
    default:
        break;
    }
    const QByteArray text = value.toString().toUtf8();
    return sqlite3_bind_text64(stmt, index, text.constData(), sqlite3_uint64(text.size()),
                               SQLITE_TRANSIENT, SQLITE_UTF8);
}

} // namespace

// ---- TStatement ----

TStatement::~TStatement() {
    Finalize();
}

void TStatement::Finalize() {
    if (stmt)
        sqlite3_finalize(stmt);
    stmt = nullptr;
}

bool TStatement::PrepareNext(sqlite3* database, const QByteArray& text, int& offset) {
    Finalize();
    db = database;
    if (!db)
        ThrowText(QStringLiteral("数据库未连接"));
    while (offset < text.size()) {
        const char* start = text.constData() + offset;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, start, int(text.size() - offset), &stmt, &tail) != SQLITE_OK)
            ThrowEngineError(db);
        offset = int(tail - text.constData());
        if (stmt)
            return true;
        if (tail == start)
            break;
    }
    return false;
}

int TStatement::BindFrom(const SqlParams& params, int first) {
    const int wanted = sqlite3_bind_parameter_count(stmt);
    if (first + wanted > params.size())
        ThrowText(QStringLiteral("语句需要的参数多于给出的参数"));
    for (int i = 0; i < wanted; ++i)
        if (BindValue(stmt, i + 1, params[first + i]) != SQLITE_OK)
            ThrowEngineError(db);
    return wanted;
}

bool TStatement::Step() {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    ThrowEngineError(db);
}

void TStatement::StepToEnd() {
    while (Step()) {
    }
}

QVariant TStatement::Column(int index) const {
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_INTEGER:
        return QVariant::fromValue<qlonglong>(sqlite3_column_int64(stmt, index));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, index);
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
        return QString::fromUtf8(text, sqlite3_column_bytes(stmt, index));
    }
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, index));
        return QByteArray(bytes, sqlite3_column_bytes(stmt, index));
    }
    default:
        return QVariant();
    }
}

void ExecScript(sqlite3* db, const QString& sql, const SqlParams& params) {
    const QByteArray text = sql.toUtf8();
    int offset = 0;
    int used = 0;
    TStatement statement;
    while (statement.PrepareNext(db, text, offset)) {
        used += statement.BindFrom(params, used);
        statement.StepToEnd();
    }
    if (used != params.size())
        ThrowText(QStringLiteral("给出的参数多于语句需要的参数"));
}

void ThrowEngineError(sqlite3* db) {
    ThrowText(QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory"));
}

// ---- TDataSet: reading ----

void TDataSet::Open(sqlite3* database, const QString& text, const SqlParams& values) {
    Close();
    db = database;
    sql = text;
    params = values;
    const QByteArray utf8 = text.toUtf8();
    int offset = 0;
    TStatement statement;
    if (!statement.PrepareNext(db, utf8, offset))
        ThrowText(QStringLiteral("查询语句为空"));
    if (statement.BindFrom(values, 0) != values.size())
        ThrowText(QStringLiteral("给出的参数多于语句需要的参数"));
    TStatement rest;
    if (rest.PrepareNext(db, utf8, offset))
        ThrowText(QStringLiteral("一次只能执行一条查询语句"));
    ReadRows(statement);
    open = true;
    current = 0;
}

void TDataSet::ReadRows(TStatement& statement) {
    sqlite3_stmt* stmt = statement.Handle();
    const int count = sqlite3_column_count(stmt);
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QString::fromUtf8(sqlite3_column_name(stmt, i));
    ReadColumnOrigins(stmt);
    TResultRows read;
    read.Reset(count);
    while (statement.Step())
        read.AppendFrom(stmt);
    read.Squeeze();
    fields = names;
    fieldLookup.clear();
    rows = std::move(read);
    std::vector<quint32>().swap(order);
}

void TDataSet::ReadColumnOrigins(sqlite3_stmt* stmt) {
    originTables.clear();
    originColumns.clear();
    const auto text = [](const char* value) {
        return value ? QString::fromUtf8(value) : QString();
    };
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const bool mainDatabase = text(sqlite3_column_database_name(stmt, i)) == "main";
        originTables << (mainDatabase ? text(sqlite3_column_table_name(stmt, i)) : QString());
        originColumns << (mainDatabase ? text(sqlite3_column_origin_name(stmt, i)) : QString());
    }
}

void TDataSet::Requery() {
    const QString text = sql;
    const SqlParams values = params;
    const QString sort = sortExpression;
    Open(db, text, values);
    if (!sort.isEmpty())
        SetSortExpression(sort);
}

void TDataSet::Close() {
    open = false;
    sql.clear();
    params.clear();
    fields.clear();
    fieldLookup.clear();
    originTables.clear();
    originColumns.clear();
    rows.Reset(0);
    std::vector<quint32>().swap(order);
    current = 0;
    sortExpression.clear();
    Cancel();
}

void TDataSet::First() {
    PostPending();
    current = 0;
}

void TDataSet::Next() {
    PostPending();
    if (current < RecordCount())
        ++current;
}

bool TDataSet::Eof() const {
    return current >= RecordCount();
}

void TDataSet::MoveTo(int row) {
    PostPending();
    current = std::clamp(row, 0, RecordCount());
}

QString TDataSet::FieldName(int field) const {
    return fields.value(field);
}

int TDataSet::FieldIndex(const QString& name) const {
    const auto known = fieldLookup.constFind(name);
    if (known != fieldLookup.constEnd())
        return *known;
    int found = -1;
    for (int i = 0; i < fields.size() && found < 0; ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            found = i;
    fieldLookup.insert(name, found);
    return found;
}

int TDataSet::RequireField(const QString& name) const {
    const int field = FieldIndex(name);
    if (field < 0)
        throw EDBException(QStringLiteral("找不到字段：") + name, kQueryFailed, sql);
    return field;
}

QVariant TDataSet::Value(int field) const {
    if (state != EditState::Browse)
        return buffer.value(field);
    return ValueAt(current, field);
}

QVariant TDataSet::Value(const QString& name) const {
    return Value(RequireField(name));
}

QString TDataSet::AsString(int field) const {
    if (state != EditState::Browse)
        return VariantToText(buffer.value(field));
    return TextAt(current, field);
}

QString TDataSet::AsString(const QString& name) const {
    return AsString(RequireField(name));
}

int TDataSet::AsInteger(int field) const {
    if (state != EditState::Browse)
        return VariantToInteger(buffer.value(field));
    return HasCell(current, field) ? CellInteger(rows.At(StoredRow(current), field)) : 0;
}

int TDataSet::AsInteger(const QString& name) const {
    return AsInteger(RequireField(name));
}

bool TDataSet::AsNumber(int field, double& number) const {
    if (state == EditState::Browse)
        return HasCell(current, field) && CellNumber(rows.At(StoredRow(current), field), number);
    const QVariant value = buffer.value(field);
    if (value.isNull())
        return false;
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray)
        return TextToNumber(value.toString().toUtf8(), number);
    bool ok = false;
    const double converted = value.toDouble(&ok);
    if (ok)
        number = converted;
    return ok;
}

bool TDataSet::AsBoolean(const QString& name) const {
    return AsInteger(name) != 0;
}

bool TDataSet::HasCell(int row, int field) const {
    return row >= 0 && row < RecordCount() && field >= 0 && field < rows.FieldCount();
}

QVariant TDataSet::ValueAt(int row, int field) const {
    return HasCell(row, field) ? rows.Value(StoredRow(row), field) : QVariant();
}

QString TDataSet::TextAt(int row, int field) const {
    return HasCell(row, field) ? CellText(rows.At(StoredRow(row), field)) : QString();
}

// ---- TDataSet: sorting ----

std::vector<TSortKey> TDataSet::ParseSortExpression(const QString& expression) const {
    std::vector<TSortKey> keys;
    for (QString part : expression.split(',')) {
        part = part.trimmed();
        bool descending = false;
        if (part.endsWith(QStringLiteral(" DESC"), Qt::CaseInsensitive)) {
            descending = true;
            part.chop(5);
        } else if (part.endsWith(QStringLiteral(" ASC"), Qt::CaseInsensitive)) {
            part.chop(4);
        }
        const int field = FieldIndex(part.trimmed());
        if (field >= 0)
            keys.push_back({field, descending});
    }
    return keys;
}

QList<int> TDataSet::SetSortExpression(const QString& expression) {
    PostPending();
    sortExpression = expression;
    const std::vector<TSortKey> keys = ParseSortExpression(expression);
    QList<int> newPosition(RecordCount());
    std::iota(newPosition.begin(), newPosition.end(), 0);
    if (keys.empty())
        return newPosition;
    const std::vector<quint32> positions = rows.SortPositions(order, keys);
    std::vector<quint32> sorted(positions.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        sorted[i] = quint32(StoredRow(int(positions[i])));
        newPosition[positions[i]] = int(i);
    }
    order = std::move(sorted);
    if (current < RecordCount())
        current = newPosition[current];
    return newPosition;
}

// ---- TDataSet: editing ----

void TDataSet::Append() {
    PostPending();
    if (!open)
        FailPost(QStringLiteral("数据集未打开"));
    state = EditState::Insert;
    buffer = QVariantList(FieldCount());
    original.clear();
    modified = QList<bool>(FieldCount(), false);
}

void TDataSet::Edit() {
    if (state != EditState::Browse)
        return;
    if (!open || Eof())
        FailPost(QStringLiteral("没有当前记录"));
    state = EditState::Edit;
    buffer = rows.Values(StoredRow(current));
    original = buffer;
    modified = QList<bool>(FieldCount(), false);
}

void TDataSet::SetField(const QString& name, const QVariant& value) {
    if (state == EditState::Browse)
        FailPost(QStringLiteral("数据集不在编辑状态"));
    const int field = FieldIndex(name);
    if (field < 0)
        FailPost(QStringLiteral("找不到字段：") + name);
    if (originColumns[field].isEmpty())
        FailPost(QStringLiteral("字段不能修改：") + name);
    buffer[field] = value;
    modified[field] = true;
}

void TDataSet::PostPending() {
    if (state != EditState::Browse)
        Post();
}

void TDataSet::Cancel() {
    state = EditState::Browse;
    lastStatement.clear();
    buffer.clear();
    original.clear();
    modified.clear();
}

void TDataSet::Post() {
    if (state == EditState::Browse)
        return;
    const QString table = RequireUpdatableTable();
    try {
        const bool inserting = state == EditState::Insert;
        const qint64 rowid = inserting ? InsertBuffer(table) : LocateOriginalRow(table);
        if (!inserting)
            UpdateBuffer(table, rowid);
        RereadBuffer(table, rowid);
        if (inserting) {
            const int stored = rows.Append(buffer);
            if (!order.empty())
                order.push_back(quint32(stored));
            current = RecordCount() - 1;
        } else {
            rows.Replace(StoredRow(current), buffer);
        }
        Cancel();
    } catch (const EDBException& error) {
        if (!error.UserMessage.isEmpty())
            throw;
        FailPost(error.Message());
    }
}

void TDataSet::FailPost(const QString& reason) const {
    throw EDBException(reason, kOperationFailed, lastStatement.isEmpty() ? sql : lastStatement);
}

QString TDataSet::RequireUpdatableTable() const {
    QString table;
    for (const QString& origin : originTables) {
        if (origin.isEmpty())
            continue;
        if (!table.isEmpty() && table.compare(origin, Qt::CaseInsensitive) != 0)
            FailPost(QStringLiteral("查询读取多个数据表，不能更新"));
        table = origin;
    }
    if (table.isEmpty())
        FailPost(QStringLiteral("查询不读取数据表，不能更新"));
    return table;
}

QList<int> TDataSet::OriginFields() const {
    QList<int> result;
    QStringList seen;
    for (int i = 0; i < FieldCount(); ++i) {
        if (originColumns[i].isEmpty() || seen.contains(originColumns[i], Qt::CaseInsensitive))
            continue;
        seen << originColumns[i];
        result << i;
    }
    return result;
}

QString TDataSet::RowidAliasColumn(const QString& table) const {
    TStatement statement;
    int offset = 0;
    statement.PrepareNext(db, "select name, type from pragma_table_info(?) where pk > 0", offset);
    statement.BindFrom({table}, 0);
    QStringList keys;
    QString type;
    while (statement.Step()) {
        keys << statement.Column(0).toString();
        type = statement.Column(1).toString();
    }
    if (keys.size() == 1 && type.compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0)
        return keys.first();
    return QString();
}

qint64 TDataSet::LocateOriginalRow(const QString& table) {
    const QString alias = RowidAliasColumn(table);
    for (int field = 0; field < FieldCount() && !alias.isEmpty(); ++field)
        if (originColumns[field].compare(alias, Qt::CaseInsensitive) == 0 &&
            !original[field].isNull())
            return original[field].toLongLong();
    QStringList conditions;
    SqlParams values;
    for (int field : OriginFields()) {
        conditions << QuoteIdent(originColumns[field]) + " is ?";
        values << original[field];
    }
    lastStatement = "select rowid from " + QuoteIdent(table) + " where " +
                    conditions.join(" and ") + " limit 1";
    TStatement statement;
    int offset = 0;
    statement.PrepareNext(db, lastStatement.toUtf8(), offset);
    statement.BindFrom(values, 0);
    if (!statement.Step())
        FailPost(QStringLiteral("要修改的记录已不存在"));
    return statement.Column(0).toLongLong();
}

qint64 TDataSet::InsertBuffer(const QString& table) {
    QStringList columns;
    SqlParams values;
    for (int field = 0; field < FieldCount(); ++field) {
        if (!modified[field])
            continue;
        columns << QuoteIdent(originColumns[field]);
        values << buffer[field];
    }
    lastStatement = "insert into " + QuoteIdent(table);
    if (columns.isEmpty())
        lastStatement += " default values";
    else
        lastStatement += " (" + columns.join(", ") + ") values (" +
                         QStringList(columns.size(), "?").join(", ") + ")";
    ExecScript(db, lastStatement, values);
    return sqlite3_last_insert_rowid(db);
}

void TDataSet::UpdateBuffer(const QString& table, qint64 rowid) {
    QStringList assignments;
    SqlParams values;
    for (int field = 0; field < FieldCount(); ++field) {
        if (!modified[field])
            continue;
        assignments << QuoteIdent(originColumns[field]) + " = ?";
        values << buffer[field];
    }
    if (assignments.isEmpty())
        return;
    lastStatement =
        "update " + QuoteIdent(table) + " set " + assignments.join(", ") + " where rowid = ?";
    ExecScript(db, lastStatement, values << rowid);
    if (sqlite3_changes(db) == 0)
        FailPost(QStringLiteral("要修改的记录已不存在"));
}

void TDataSet::RereadBuffer(const QString& table, qint64 rowid) {
    const QList<int> originFields = OriginFields();
    QStringList columns;
    for (int field : originFields)
        columns << QuoteIdent(originColumns[field]);
    const QString select =
        "select " + columns.join(", ") + " from " + QuoteIdent(table) + " where rowid = ?";
    TStatement statement;
    int offset = 0;
    statement.PrepareNext(db, select.toUtf8(), offset);
    statement.BindFrom({rowid}, 0);
    if (!statement.Step())
        return;
    for (int i = 0; i < originFields.size(); ++i)
        for (int field = 0; field < FieldCount(); ++field)
            if (originColumns[field].compare(originColumns[originFields[i]], Qt::CaseInsensitive) ==
                0)
                buffer[field] = statement.Column(i);
}

QString QuoteIdent(const QString& name) {
    return '"' + QString(name).replace('"', QStringLiteral("\"\"")) + '"';
}
