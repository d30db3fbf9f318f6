#include "controls/DataSetModel.h"

TDataSetModel::TDataSetModel(TDataSet& dataSet, QObject* parent)
    : TSortableModel(parent), dataSet(dataSet) {}

int TDataSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !dataSet.IsOpen() ? 0 : dataSet.RecordCount();
}

int TDataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !dataSet.IsOpen() ? 0 : dataSet.FieldCount();
}

QVariant TDataSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return QVariant();
    return dataSet.TextAt(index.row(), index.column());
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return titles.value(section);
    return TSortableModel::headerData(section, orientation, role);
}

bool TDataSetModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                  int role) {
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole) ||
        section < 0 || section >= titles.size())
        return false;
    titles[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

bool TDataSetModel::IsOpen() const {
    return dataSet.IsOpen();
}

QString TDataSetModel::FieldName(int column) const {
    return dataSet.FieldName(column);
}

QString TDataSetModel::SortExpression() const {
    return dataSet.SortExpression();
}

void TDataSetModel::SetSortExpression(const QString& expression) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QList<int> newPosition = dataSet.SetSortExpression(expression);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after << (index.row() < newPosition.size()
                      ? createIndex(newPosition[index.row()], index.column())
                      : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TDataSetModel::Reload(const std::function<void()>& change, bool keepTitles) {
    const QStringList oldFields = FieldNames();
    beginResetModel();
    try {
        change();
    } catch (...) {
        ResetTitles(false, oldFields);
        endResetModel();
        throw;
    }
    ResetTitles(keepTitles, oldFields);
    endResetModel();
}

void TDataSetModel::FollowCurrentRow(const QModelIndex& current) {
    if (current.isValid() && current.model() == this)
        dataSet.MoveTo(current.row());
}

void TDataSetModel::ResetTitles(bool keepTitles, const QStringList& oldFields) {
    const QStringList fields = FieldNames();
    if (!keepTitles || fields != oldFields || titles.size() != fields.size())
        titles = fields;
}

QStringList TDataSetModel::FieldNames() const {
    QStringList names;
    for (int i = 0; dataSet.IsOpen() && i < dataSet.FieldCount(); ++i)
        names << dataSet.FieldName(i);
    return names;
}
