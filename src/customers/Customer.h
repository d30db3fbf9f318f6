#pragma once

#include "data/DataSet.h"

#include <QList>
#include <QString>
#include <QStringList>

struct TSmsRecipient;

// A custom field's value on a customer, by the field's name.
struct TFieldValue {
    QString Name;
    QString Value;
};

// One customer as the editor shows and stores it.
struct TCustomerRecord {
    QString Guid;
    int TypeID = 0;
    QString TypeName; // the group's name; only loading fills it
    QString Name;
    QString Tel;
    QString Remark;
    // The custom fields the editor has controls for, in the order of their definitions.
    QList<TFieldValue> Fields;

    // The value of the custom field of that name; empty when the record has none.
    QString Field(const QString& name) const;
};

// A numeric custom field's total over a list, as the status bar shows it.
struct TFieldTotal {
    QString Name;
    QString Amount;
};

// Owns every statement on the table Customer: the list, loading, adding and changing a customer
// with the checks of required and unique fields, deletion of one customer or of a group's
// customers, and the totals of the numeric fields.
class TCustomer {
public:
    // "姓名", "手机号码", then every custom field's name in order of creation.
    QStringList ListFieldNames() const;

    // The list of the group's customers (every customer for group 0), each column named with its
    // table: the hidden GUID, the group's name ("未分组" for a lost group), 姓名, 手机号码, the
    // custom fields, 备注, 新建时间, in order of creation. A search text that is not blank keeps
    // only the customers whose field holds it, Latin letters in any case.
    SqlStatement ListStatement(int group, const QString& searchField,
                               const QString& searchText) const;
    // For every numeric custom field, the sum of the list's values in ten-thousandths, written
    // without separators or trailing zeros; a text that is not wholly a number counts 0. The
    // list's current row stays the current one. The list is any cursor but the query cursor,
    // which reading the definitions takes.
    QList<TFieldTotal> Totals(TDataSet& list) const;
    // Every customer of the list that has a number, in the list's order.
    QList<TSmsRecipient> ListedRecipients(const TDataSet& list) const;

    // The stored customer with the name of its group ("未分组" for none or a lost one; the id is
    // then 0) and every custom field's value, trimmed. A missing customer gives empty values.
    TCustomerRecord LoadCustomer(const QString& guid) const;
    // Each first checks the required and then the unique fields, then stores the customer with
    // one statement. A failure stores nothing and raises.
    void Add(const TCustomerRecord& customer);
    void Update(const TCustomerRecord& customer);
    // Stops with "<field>不能为空！" at the first required field left empty; a date field always
    // holds a value.
    void CheckRequiredFields(const TCustomerRecord& customer) const;
    // Stops at the first unique field whose value another customer holds already, Latin letters
    // in any case; with excludeSelf the customer itself does not count.
    void CheckUniqueFields(const TCustomerRecord& customer, bool excludeSelf) const;
    void CheckUniqueValue(const QString& value, const QString& fieldName, const QString& guid,
                          bool excludeSelf) const;
    // Every value the field holds among the customers, an empty one for those without a value;
    // values that differ only in the case of Latin letters are one value.
    QStringList StoredValues(const QString& field) const;

    // Deletes the customer with its attached-file rows in one transaction.
    void DeleteByGuid(const QString& guid);
    // The statements that delete every customer of the group with their attached-file rows,
    // for the batch that deletes the group.
    QList<SqlStatement> DeleteByTypeStatements(int typeId) const;
    // The statements that delete every customer with every attached-file row.
    QList<SqlStatement> DeleteAllStatements() const;
    // The statement that adds a customer of a group from an imported row: the GUID, the group's
    // id, then one value per field.
    QString ImportStatement(const QStringList& fields) const;
};

TCustomer& Customer();

// A new customer key: 36 upper-case characters, 8-4-4-4-12 hexadecimal digits joined by "-".
QString NewGuid();
