#pragma once

#include <QString>

class QTreeWidget;

// The files attached to customers, each by its full path and a remark. Only the path is kept:
// the files themselves are never copied, moved or deleted.
class TConnFile {
public:
    // Stores the current entry.
    void Add();
    // One row per entry of the customer: the ID, the path and the remark.
    void LoadList(const QString& guid, QTreeWidget* listView);
    void DeleteById(const QString& id);
    // Makes the stored entry the current one.
    void Load(const QString& id);
    // Stores the current path and remark under the ID.
    void Update(const QString& id);

    QString Guid;
    QString FileName;
    QString Remark;
};

TConnFile& ConnFile();

// Stops with "<path> 文件不存在！" when no file is at the path.
void CheckFileExists(const QString& path);
