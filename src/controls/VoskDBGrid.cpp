#include "controls/VoskDBGrid.h"

#include "controls/SortableModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>

namespace {

const QString AscendingMark = QStringLiteral("▲");
const QString DescendingMark = QStringLiteral("▼");
const QString Descending = QStringLiteral("DESC");

QString TitleOf(const QAbstractItemModel& model, int column) {
    return model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

} // namespace

TVoskDBGrid::TVoskDBGrid(QWidget* parent)
    : QTableView(parent), oddColor(palette().color(QPalette::Active, QPalette::Base)),
      evenColor(255, 251, 240), rowLineColor(166, 202, 240), colLineColor(166, 202, 240) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(true);
    setShowGrid(false);
    setSortingEnabled(false);
    verticalHeader()->hide();
    horizontalHeader()->show();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(false);
    horizontalHeader()->setHighlightSections(false);
    setItemDelegate(new TStripedCellDelegate(this));
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TVoskDBGrid::TitleClick);
}

void TVoskDBGrid::SetColor(QColor& target, const QColor& color) {
    target = color;
    viewport()->update();
}

void TVoskDBGrid::SetGridOddColor(const QColor& color) {
    SetColor(oddColor, color);
}

void TVoskDBGrid::SetGridEvenColor(const QColor& color) {
    SetColor(evenColor, color);
}

void TVoskDBGrid::SetGriddingRowColor(const QColor& color) {
    SetColor(rowLineColor, color);
}

void TVoskDBGrid::SetGriddingColColor(const QColor& color) {
    SetColor(colLineColor, color);
}

QColor TVoskDBGrid::RowColor(int row, bool selected) const {
    if (selected)
        return palette().color(QPalette::Active, QPalette::Highlight);
    const int record = row + 1;
    return record % 2 == 1 ? oddColor : evenColor;
}

QColor TVoskDBGrid::TextColor(bool selected) const {
    return palette().color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text);
}

void TVoskDBGrid::DrawStripedCell(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    QStyleOptionViewItem cell = option;
    cell.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    cell.backgroundBrush = RowColor(index.row(), selected);
    cell.palette.setColor(QPalette::Text, TextColor(selected));
    const QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    const QRect& r = option.rect;
    painter->save();
    painter->setPen(rowLineColor);
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter->setPen(colLineColor);
    painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter->restore();
}

void TVoskDBGrid::TitleClick(int column) {
    auto* sortable = qobject_cast<TSortableModel*>(model());
    if (!sortable || !sortable->IsOpen())
        return;
    ClearSortMarks(*sortable);
    const QString field = sortable->FieldName(column);
    QString expression = sortable->SortExpression();
    QString mark = AscendingMark;
    if (expression.isEmpty() || !expression.contains(field)) {
        expression = field;
    } else if (expression.contains(Descending)) {
        expression.remove(expression.indexOf(Descending), Descending.size());
    } else {
        expression += QLatin1Char(' ') + Descending;
        mark = DescendingMark;
    }
    sortable->SetSortExpression(expression);
    MarkTitle(*sortable, column, mark);
}

void TVoskDBGrid::ClearSortMarks(TSortableModel& model) {
    for (int column = 0; column < model.columnCount(); ++column) {
        const QString title = TitleOf(model, column);
        if (title.startsWith(AscendingMark) || title.startsWith(DescendingMark))
            model.setHeaderData(column, Qt::Horizontal, title.mid(1), Qt::DisplayRole);
    }
}

void TVoskDBGrid::MarkTitle(TSortableModel& model, int column, const QString& mark) {
    model.setHeaderData(column, Qt::Horizontal, mark + TitleOf(model, column), Qt::DisplayRole);
}

TStripedCellDelegate::TStripedCellDelegate(TVoskDBGrid* grid)
    : QStyledItemDelegate(grid), grid(grid) {}

void TStripedCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    grid->DrawStripedCell(painter, cell, index);
}
