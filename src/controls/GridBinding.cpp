#include "controls/GridBinding.h"

#include "controls/DataSetModel.h"
#include "data/DbAccess.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTreeWidget>

#include <memory>

namespace {

constexpr int kFitRows = 50;

// The model over the grid cursor and the grid that shows it, kept by the connection as the
// cursor's watcher: every change of the cursor resets the model.
class TGridBinding : public TGridCursorWatcher {
public:
    explicit TGridBinding(TDataSet& rows) : model(rows) {}
    void Reload(const std::function<void()>& change, bool keepTitles) override {
        model.Reload(change, keepTitles);
    }

    TDataSetModel model;
    QPointer<QTableView> grid;
};

TGridBinding& Binding() {
    TDbAccess& access = DbAccess();
    auto* binding = dynamic_cast<TGridBinding*>(access.GridWatcher());
    if (!binding) {
        auto made = std::make_unique<TGridBinding>(access.GridSet());
        binding = made.get();
        access.SetGridWatcher(std::move(made));
    }
    return *binding;
}

// Keeps a list view from repainting until it goes.
class UpdatesSuspended {
public:
    explicit UpdatesSuspended(QWidget* widget) : widget(widget), enabled(widget->updatesEnabled()) {
        widget->setUpdatesEnabled(false);
    }
    ~UpdatesSuspended() { widget->setUpdatesEnabled(enabled); }

private:
    QWidget* widget;
    bool enabled;
};

// How the grid draws a cell of its own, without the cell's text and place.
QStyleOptionViewItem CellOption(QTableView* grid) {
    QStyleOptionViewItem option;
    option.initFrom(grid);
    option.widget = grid;
    option.state &= ~QStyle::State_HasFocus;
    option.textElideMode = grid->textElideMode();
    if (grid->wordWrap())
        option.features |= QStyleOptionViewItem::WrapText;
    return option;
}

} // namespace

TDataSetModel* GridSource() {
    TGridBinding& binding = Binding();
    DbAccess().ChangeGridSet([] { DbAccess().GridSet().Close(); });
    return &binding.model;
}

void OpenGrid(const QString& sql, QTableView* view, bool fit, const SqlParams& params) {
    TDataSetModel* model = GridSource();
    Binding().grid = view;
    if (view) {
        if (view->model() != model)
            view->setModel(model);
        QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, model,
                         &TDataSetModel::FollowCurrentRow, Qt::UniqueConnection);
    }
    DbAccess().OpenGridSet(sql, params);
    if (fit)
        FitColumns(view);
}

void RequeryGrid() {
    TDataSet& rows = DbAccess().GridSet();
    if (rows.Sql().isEmpty())
        return;
    TGridBinding& binding = Binding();
    TDataSetModel& model = binding.model;
    QTableView* view =
        binding.grid && binding.grid->model() == &model ? binding.grid.data() : nullptr;
    QList<int> widths;
    QList<bool> hidden;
    int column = 0;
    for (int i = 0; view && i < model.columnCount(); ++i) {
        widths << view->columnWidth(i);
        hidden << view->isColumnHidden(i);
    }
    if (view)
        column = std::max(0, view->currentIndex().column());
    DbAccess().RequeryGridSet();
    if (!view)
        return;
    const int columns = model.columnCount();
    for (int i = 0; i < std::min(int(widths.size()), columns); ++i) {
        view->setColumnWidth(i, widths[i]);
        view->setColumnHidden(i, hidden[i]);
    }
    if (model.rowCount() > 0 && columns > 0)
        view->setCurrentIndex(model.index(0, std::min(column, columns - 1)));
    rows.First();
}

void FitColumns(QTableView* grid) {
    auto* model = grid ? qobject_cast<TSortableModel*>(grid->model()) : nullptr;
    if (!model || !model->IsOpen())
        return;
    const QFontMetrics metrics(grid->font());
    const QStyleOptionViewItem cell = CellOption(grid);
    const int rows = std::min(model->rowCount(), kFitRows);
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString title = model->headerData(column, Qt::Horizontal).toString();
        int width = std::max(metrics.horizontalAdvance(title) + 24,
                             grid->horizontalHeader()->sectionSizeHint(column));
        // The delegate measures a value as the style draws it, its cell margins included.
        for (int row = 0; row < rows; ++row) {
            const QModelIndex index = model->index(row, column);
            width =
                std::max(width, grid->itemDelegateForIndex(index)->sizeHint(cell, index).width());
        }
        grid->setColumnWidth(column, width);
    }
}

void FillListView(const QString& sql, QTreeWidget* listView, const SqlParams& params) {
    listView->clear();
    TDataSet& rows = DbAccess().OpenQuery(sql, params);
    const UpdatesSuspended suspended(listView);
    QList<QTreeWidgetItem*> items;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        QStringList texts;
        for (int field = 0; field < rows.FieldCount(); ++field)
            texts << rows.AsString(field);
        items << new QTreeWidgetItem(texts);
    }
    listView->addTopLevelItems(items);
}
