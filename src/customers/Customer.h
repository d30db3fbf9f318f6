#pragma once

#include "data/DataSet.h"

#include <QList>
#include <QString>
#include <QStringList>

// The customers' records: deletion of one customer or of a group's customers, the customer
// the change dialog shows with its group, and the names of the fields a list can be searched by.
class TCustomer {
public:
    // "姓名", "手机号码", then every custom field's name in order of creation.
    void ListFieldNames(QStringList& names) const;
    // Deletes the customer with its attached-file rows in one transaction, runs the grid's query
    // again and says "删除成功！".
    void DeleteByGuid(const QString& guid);
    // The statements that delete every customer of the group with their attached-file rows,
    // for the batch that deletes the group.
    QList<SqlStatement> DeleteByTypeStatements(int typeId) const;
    // Reads the customer's group, name, number and remark into the fields below.
    void LoadCustomer(const QString& guid);

    int TypeID = 0;
    QString TypeName;
    QString Name;
    QString Tel;
    QString Remark;
};

TCustomer& Customer();

// The custom field names in order of creation.
QStringList TitleNames();
// The custom field names joined by ","; empty when there are none.
QString JoinTitleNames();
// A new customer key: 36 upper-case characters, 8-4-4-4-12 hexadecimal digits joined by "-".
QString NewGuid();
