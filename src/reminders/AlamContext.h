#pragma once

#include <QString>

class QTreeWidget;

// Owns every statement on the preset reminder texts (table AlamContext). Add and Update store
// the current text Remark.
class TAlamContext {
public:
    void Add();
    void Update(int id);
    void Delete(int id);
    // One item per preset, in ascending ID: column 0 the ID, column 1 the text.
    void LoadList(QTreeWidget* listView);

    QString Remark;
    QString Sql; // the last statement built
};

TAlamContext& AlamContext();
