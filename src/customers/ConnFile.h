#pragma once

#include "data/DataSet.h"

#include <QString>

class QTreeWidget;

// One file attached to a customer: the customer's GUID, the file's full path and a remark.
struct TConnFileEntry {
    QString Guid;
    QString FileName;
    QString Remark;
};

// The files attached to customers, each by its full path and a remark. Only the path is kept:
// the files themselves are never copied, moved or deleted.
class TConnFile {
public:
    void Add(const TConnFileEntry& entry);
    // One row per entry of the customer: the ID, the path and the remark.
    void LoadList(const QString& guid, QTreeWidget* listView);
    void DeleteById(const QString& id);
    // The stored entry; empty texts when there is none.
    TConnFileEntry Load(const QString& id) const;
    // Stores the entry's path and remark under the ID.
    void Update(const QString& id, const TConnFileEntry& entry);

    // The statements that delete the entries of one customer, of every customer of a group,
    // and every entry, for the batches that delete customers.
    SqlStatement DeleteByGuidStatement(const QString& guid) const;
    SqlStatement DeleteByTypeStatement(int typeId) const;
    SqlStatement DeleteAllStatement() const;
};

TConnFile& ConnFile();

// Stops with "<path> 文件不存在！" when no file is at the path.
void CheckFileExists(const QString& path);
