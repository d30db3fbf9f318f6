#pragma once

#include <QList>
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// Draws a line under every row and right of every cell of a report-style list, the selected
// row keeping the highlight colours.
void ShowGridLines(QTreeWidget* list);

// The top-level rows whose text in the column equals key, last row first.
QList<QTreeWidgetItem*> RowsWithText(const QTreeWidget* list, int column, const QString& key);
