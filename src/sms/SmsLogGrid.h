#pragma once

#include "controls/VoskDBGrid.h"
#include "data/DataSet.h"

#include <QList>

#include <functional>

class TDataSetModel;

// A grid of kept messages over a result set of its own, as TSmsLog opens them: the key column
// hidden, newest first, rows selected whole.
class TSmsLogGrid : public TVoskDBGrid {
    Q_OBJECT
public:
    explicit TSmsLogGrid(QWidget* parent = nullptr);

    // Runs open on the grid's result set, the grid starting over with the new rows.
    void Load(const std::function<void(TDataSet&)>& open);
    int Count() const;
    const TDataSet& Rows() const { return rows; }
    // The field of the row at a position, as the grid shows it.
    QString Text(int row, const QString& field) const;
    // The keys of the selected rows, in the grid's order.
    QList<qint64> SelectedIds() const;

private:
    TDataSet rows;
    TDataSetModel* model;
};
