#pragma once

#include <QAbstractTableModel>

// A table model over a query's rows that the striped grid can sort by a sort expression:
// field names, each optionally followed by " DESC". Column titles are read and written through
// headerData/setHeaderData (horizontal, Qt::DisplayRole); the sort marks live in them.
class TSortableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // False while no query is open: the grid then neither sorts nor measures.
    virtual bool IsOpen() const = 0;
    virtual QString FieldName(int column) const = 0;
    virtual QString SortExpression() const = 0;
    // Applies the expression and reorders the rows.
    virtual void SetSortExpression(const QString& expression) = 0;
};
