#include "sms/SmsLogGrid.h"

#include "controls/DataSetModel.h"
#include "controls/GridBinding.h"
#include "data/DbAccess.h"

#include <QItemSelectionModel>

#include <algorithm>

namespace {

const QColor kCream(255, 251, 240);
constexpr int kWidestColumn = 360;

} // namespace

TSmsLogGrid::TSmsLogGrid(QWidget* parent)
    : TVoskDBGrid(parent), model(new TDataSetModel(rows, this)) {
    setModel(model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setWordWrap(false);
    SetGridEvenColor(kCream);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, model,
            &TDataSetModel::FollowCurrentRow);
}

void TSmsLogGrid::Load(const std::function<void(TDataSet&)>& open) {
    model->Reload([this, &open] { open(rows); });
    FitColumns(this);
    for (int column = 0; column < model->columnCount(); ++column)
        setColumnWidth(column, std::min(columnWidth(column), kWidestColumn));
    setColumnHidden(0, true);
}

int TSmsLogGrid::Count() const {
    return rows.IsOpen() ? rows.RecordCount() : 0;
}

QString TSmsLogGrid::Text(int row, const QString& field) const {
    return rows.TextAt(row, rows.FieldIndex(field));
}

QList<qint64> TSmsLogGrid::SelectedIds() const {
    QList<int> positions;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        positions << index.row();
    std::sort(positions.begin(), positions.end());
    QList<qint64> ids;
    for (const int row : positions)
        ids << rows.ValueAt(row, 0).toLongLong();
    return ids;
}
