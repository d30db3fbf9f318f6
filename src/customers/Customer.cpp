#include "customers/Customer.h"

#include "customers/ConnFile.h"
#include "customers/FieldDefinitions.h"
#include "customers/GroupTable.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "sms/SmsGateway.h"

#include <QLocale>
#include <QUuid>

#include <cmath>

namespace {

constexpr qint64 kAmountScale = 10000; // amounts keep four decimal places
constexpr double kLargestAmount = 9.0e14;

// A number as an amount in ten-thousandths; 0 for one no amount can hold.
qint64 ToAmount(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= kLargestAmount)
        return 0;
    return std::llround(value * kAmountScale);
}

// The shortest form: no thousands separators, no trailing zeros.
QString FormatAmount(qint64 amount) {
    const qint64 whole = amount / kAmountScale;
    qint64 fraction = std::llabs(amount % kAmountScale);
    QString text =
        (amount < 0 && whole == 0 ? QStringLiteral("-") : QString()) + QString::number(whole);
    if (fraction == 0)
        return text;
    QString digits = QString::number(fraction).rightJustified(4, '0');
    while (digits.endsWith('0'))
        digits.chop(1);
    return text + QLocale().decimalPoint() + digits;
}

qint64 ColumnTotal(TDataSet& list, int field) {
    qint64 total = 0;
    double value = 0;
    for (list.First(); field >= 0 && !list.Eof(); list.Next())
        if (list.AsNumber(field, value))
            total += ToAmount(value);
    return total;
}

QString Joined(const QString& first, const QStringList& more) {
    return more.isEmpty() ? first : first + ',' + more.join(',');
}

QStringList FieldColumns(const TCustomerRecord& customer) {
    QStringList columns;
    for (const TFieldValue& field : customer.Fields)
        columns << QuoteIdent(field.Name);
    return columns;
}

SqlParams FieldParams(const TCustomerRecord& customer) {
    SqlParams values;
    for (const TFieldValue& field : customer.Fields)
        values << field.Value;
    return values;
}

// The definition of each field the record holds, in the record's order.
QList<TFieldDefinition> DefinitionsOf(const TCustomerRecord& customer) {
    const QList<TFieldDefinition> all = ReadFieldDefinitions();
    QList<TFieldDefinition> held;
    for (const TFieldValue& field : customer.Fields)
        for (const TFieldDefinition& definition : all)
            if (definition.Name == field.Name) {
                held << definition;
                break;
            }
    return held;
}

} // namespace

QString TCustomerRecord::Field(const QString& name) const {
    for (const TFieldValue& field : Fields)
        if (field.Name == name)
            return field.Value;
    return QString();
}

TCustomer& Customer() {
    static TCustomer instance;
    return instance;
}

QStringList TCustomer::ListFieldNames() const {
    return QStringList{QStringLiteral("姓名"), QStringLiteral("手机号码")} + TitleNames();
}

SqlStatement TCustomer::ListStatement(int group, const QString& searchField,
                                      const QString& searchText) const {
    // Every customer column is named with its table, so a custom field may be named like a
    // column of the group table. A customer whose group row is gone is listed as ungrouped.
    QStringList columns{QStringLiteral("a.GUID"),
                        QStringLiteral("coalesce(b.TypeName, ?) as 所属分组"),
                        QStringLiteral("a.姓名"), QStringLiteral("a.手机号码")};
    SqlParams params{kUngrouped};
    for (const QString& name : TitleNames())
        columns << "a." + QuoteIdent(name) + " as " + QuoteIdent(name);
    columns << QStringLiteral("a.备注") << QStringLiteral("a.新建时间");
    QStringList conditions;
    if (group != 0) {
        conditions << QStringLiteral("a.TypeID=?");
        params << group;
    }
    if (!searchText.trimmed().isEmpty() && !searchField.isEmpty()) {
        conditions << "a." + QuoteIdent(searchField) + " like '%' || ? || '%'";
        params << searchText;
    }
    QString sql = "select " + columns.join(',') +
                  " from Customer a left join CustomerType b on a.TypeID=b.SelfIndex";
    if (!conditions.isEmpty())
        sql += " where " + conditions.join(" and ");
    return {sql + QStringLiteral(" order by a.新建时间, a.rowid"), params};
}

QList<TFieldTotal> TCustomer::Totals(TDataSet& list) const {
    QList<TFieldTotal> totals;
    const int current = list.RecNo();
    for (const TFieldDefinition& field : ReadFieldDefinitions())
        if (field.Kind == kNumberField)
            totals.append(
                {field.Name, FormatAmount(ColumnTotal(list, list.FieldIndex(field.Name)))});
    list.MoveTo(current);
    return totals;
}

QList<TSmsRecipient> TCustomer::ListedRecipients(const TDataSet& list) const {
    QList<TSmsRecipient> recipients;
    const int name = list.FieldIndex(QStringLiteral("姓名"));
    const int tel = list.FieldIndex(QStringLiteral("手机号码"));
    const int guid = list.FieldIndex(QStringLiteral("GUID"));
    if (name < 0 || tel < 0)
        return recipients;
    for (int row = 0; row < list.RecordCount(); ++row) {
        const QString number = list.TextAt(row, tel);
        if (!number.trimmed().isEmpty())
            recipients.append(
                {list.TextAt(row, name), number, guid < 0 ? QString() : list.TextAt(row, guid)});
    }
    return recipients;
}

TCustomerRecord TCustomer::LoadCustomer(const QString& guid) const {
    TCustomerRecord customer;
    customer.Guid = guid;
    const QStringList fields = TitleNames();
    TDataSet& row = DbAccess().OpenQuery("select * from Customer where [GUID]=?", {guid});
    const bool found = !row.Eof();
    if (found) {
        customer.TypeID = row.AsInteger(QStringLiteral("TypeID"));
        customer.Name = row.AsString(QStringLiteral("姓名"));
        customer.Tel = row.AsString(QStringLiteral("手机号码"));
        customer.Remark = row.AsString(QStringLiteral("备注"));
    }
    for (const QString& name : fields) {
        const int field = row.FieldIndex(name);
        customer.Fields.append(
            {name, found && field >= 0 ? row.AsString(field).trimmed() : QString()});
    }
    // A customer whose group row is gone is ungrouped, as the list shows it.
    const std::optional<QString> group = CustomerGroups()->StoredName(customer.TypeID);
    customer.TypeID = group ? customer.TypeID : 0;
    customer.TypeName = group ? *group : kUngrouped;
    return customer;
}

void TCustomer::Add(const TCustomerRecord& customer) {
    CheckRequiredFields(customer);
    CheckUniqueFields(customer, false);
    const QStringList columns = FieldColumns(customer);
    const QStringList marks(5 + columns.size(), QStringLiteral("?"));
    SqlParams values{customer.Guid, customer.TypeID, customer.Name, customer.Tel, customer.Remark};
    values += FieldParams(customer);
    ExecSql(QList<SqlStatement>{{"insert into Customer(" +
                                     Joined("[GUID],TypeID,姓名,手机号码,备注", columns) +
                                     ") values (" + marks.join(',') + ")",
                                 values}});
}

void TCustomer::Update(const TCustomerRecord& customer) {
    CheckRequiredFields(customer);
    CheckUniqueFields(customer, true);
    QStringList assignments;
    for (const QString& column : FieldColumns(customer))
        assignments << column + "=?";
    SqlParams values{customer.TypeID, customer.Name, customer.Tel, customer.Remark};
    values += FieldParams(customer);
    values << customer.Guid;
    ExecSql(QList<SqlStatement>{{"update Customer set " +
                                     Joined("TypeID=?,姓名=?,手机号码=?,备注=?", assignments) +
                                     " where GUID=?",
                                 values}});
}

void TCustomer::CheckRequiredFields(const TCustomerRecord& customer) const {
    for (const TFieldDefinition& field : DefinitionsOf(customer))
        if (field.Required && field.Kind != kDateField && customer.Field(field.Name).isEmpty())
            Fail(field.Name + QStringLiteral("不能为空！"));
}

void TCustomer::CheckUniqueFields(const TCustomerRecord& customer, bool excludeSelf) const {
    for (const TFieldDefinition& field : DefinitionsOf(customer))
        if (field.Unique)
            CheckUniqueValue(customer.Field(field.Name), field.Name, customer.Guid, excludeSelf);
}

void TCustomer::CheckUniqueValue(const QString& value, const QString& fieldName,
                                 const QString& guid, bool excludeSelf) const {
    const QString column = QuoteIdent(fieldName);
    const int count =
        excludeSelf
            ? ExecScalarSql("select Count(*) from Customer where " + column +
                                "=? collate nocase and [GUID]<>?",
                            {value, guid})
            : ExecScalarSql("select Count(*) from Customer where " + column + "=? collate nocase",
                            {value});
    if (count > 0)
        Fail(QStringLiteral("标题名称 ") + fieldName + QStringLiteral(" 输入的信息 ") + value +
             QStringLiteral(" 已经存在，不能重复输入！"));
}

QStringList TCustomer::StoredValues(const QString& field) const {
    QStringList values;
    for (TDataSet& rows = DbAccess().OpenAuxQuery("select DISTINCT ifnull(" + QuoteIdent(field) +
                                                  ", '') collate nocase from Customer");
         !rows.Eof(); rows.Next())
        values << rows.AsString(0);
    return values;
}

void TCustomer::DeleteByGuid(const QString& guid) {
    ExecSql(QList<SqlStatement>{{"delete from Customer where GUID=?", {guid}},
                                ConnFile().DeleteByGuidStatement(guid)});
}

QList<SqlStatement> TCustomer::DeleteByTypeStatements(int typeId) const {
    return {ConnFile().DeleteByTypeStatement(typeId),
            {"delete from Customer where TypeID=?", {typeId}}};
}

QList<SqlStatement> TCustomer::DeleteAllStatements() const {
    return {{"delete from Customer", {}}, ConnFile().DeleteAllStatement()};
}

QString TCustomer::ImportStatement(const QStringList& fields) const {
    QString columns = QStringLiteral("GUID, TypeID");
    QString marks = QStringLiteral("?, ?");
    for (const QString& field : fields) {
        columns += ", " + QuoteIdent(field);
        marks += QStringLiteral(", ?");
    }
    return "insert into Customer(" + columns + ") values (" + marks + ")";
}

QString NewGuid() {
    const QUuid uuid = QUuid::createUuid();
    if (uuid.isNull())
        Fail(QStringLiteral("生成GUID错误！"));
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}
