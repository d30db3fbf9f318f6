#pragma once

#include <QColor>
#include <QStyledItemDelegate>
#include <QTableView>

class TSortableModel;

// A read-only data grid with striped rows, coloured cell lines and sorting by a click on a
// column title. The sort lives in the model (a TSortableModel); the sort mark ("▲" ascending,
// "▼" descending) lives in the clicked column's title.
class TVoskDBGrid : public QTableView {
    Q_OBJECT
    Q_PROPERTY(QColor GridOddColor READ GridOddColor WRITE SetGridOddColor)
    Q_PROPERTY(QColor GridEvenColor READ GridEvenColor WRITE SetGridEvenColor)
    Q_PROPERTY(QColor GriddingRowColor READ GriddingRowColor WRITE SetGriddingRowColor)
    Q_PROPERTY(QColor GriddingColColor READ GriddingColColor WRITE SetGriddingColColor)
public:
    explicit TVoskDBGrid(QWidget* parent = nullptr);

    QColor GridOddColor() const { return oddColor; }
    QColor GridEvenColor() const { return evenColor; }
    QColor GriddingRowColor() const { return rowLineColor; }
    QColor GriddingColColor() const { return colLineColor; }
    void SetGridOddColor(const QColor& color);
    void SetGridEvenColor(const QColor& color);
    void SetGriddingRowColor(const QColor& color);
    void SetGriddingColColor(const QColor& color);

    // The background of a row: odd records (row + 1) in GridOddColor, even ones in
    // GridEvenColor, the selected row in the highlight colour.
    QColor RowColor(int row, bool selected) const;
    QColor TextColor(bool selected) const;

    void DrawStripedCell(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const;

    // Sorts by the clicked column: ascending first, then toggling between descending and
    // ascending while the sort expression holds the column's field.
    void TitleClick(int column);

private:
    void SetColor(QColor& target, const QColor& color);
    void ClearSortMarks(TSortableModel& model);
    void MarkTitle(TSortableModel& model, int column, const QString& mark);

    QColor oddColor;
    QColor evenColor;
    QColor rowLineColor;
    QColor colLineColor;
};

// Paints every cell of a TVoskDBGrid through the grid's DrawStripedCell.
class TStripedCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TStripedCellDelegate(TVoskDBGrid* grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    TVoskDBGrid* grid;
};
