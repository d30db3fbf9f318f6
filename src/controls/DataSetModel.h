#pragma once

#include "controls/SortableModel.h"
#include "data/DataSet.h"

#include <functional>

// Shows the rows of a client-side data set in a grid. Column titles start as the field names;
// the grid may rewrite them (its sort marks live there). The grid's current row is the data
// set's current row.
class TDataSetModel : public TSortableModel {
    Q_OBJECT
public:
    explicit TDataSetModel(TDataSet& dataSet, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    bool IsOpen() const override;
    QString FieldName(int column) const override;
    QString SortExpression() const override;
    void SetSortExpression(const QString& expression) override;

    // Runs a change of the data set (open, close, requery) with every view starting over. The
    // titles become the field names unless keepTitles and the fields are the same.
    void Reload(const std::function<void()>& change, bool keepTitles = false);
    TDataSet& DataSet() const { return dataSet; }

public slots:
    void FollowCurrentRow(const QModelIndex& current);

private:
    void ResetTitles(bool keepTitles, const QStringList& oldFields);
    QStringList FieldNames() const;

    TDataSet& dataSet;
    QStringList titles;
};
