#include "controls/ListViews.h"

#include <QTreeWidget>

void ShowGridLines(QTreeWidget* list) {
    list->setStyleSheet("QTreeView::item { border-right: 1px solid #d0d0d0; "
                        "border-bottom: 1px solid #d0d0d0; }"
                        "QTreeView::item:selected { background: palette(highlight); "
                        "color: palette(highlighted-text); }");
}

QList<QTreeWidgetItem*> RowsWithText(const QTreeWidget* list, int column, const QString& key) {
    QList<QTreeWidgetItem*> rows;
    for (int row = list->topLevelItemCount() - 1; row >= 0; --row)
        if (list->topLevelItem(row)->text(column) == key)
            rows.append(list->topLevelItem(row));
    return rows;
}
