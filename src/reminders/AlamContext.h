#pragma once

#include <QString>

class QTreeWidget;

// Owns every statement on the preset reminder texts (table AlamContext).
class TAlamContext {
public:
    void Add(const QString& remark);
    void Update(int id, const QString& remark);
    void Delete(int id);
    // One item per preset, in ascending ID: column 0 the ID, column 1 the text.
    void LoadList(QTreeWidget* listView);

    QString Sql; // the last statement built
};

TAlamContext& AlamContext();
