#include "controls/VoskDBGrid.h"
#include "controls/SortableModel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QStandardItemModel>

#include <algorithm>

namespace {

// Rows in memory, sorted by the first field named in the expression; "DESC" anywhere in it
// sorts descending.
class TMemoryModel : public TSortableModel {
public:
    TMemoryModel(QStringList fields, QList<QStringList> rows)
        : fields(fields), titles(fields), rows(std::move(rows)) {}

    int rowCount(const QModelIndex& = {}) const override { return int(rows.size()); }
    int columnCount(const QModelIndex& = {}) const override { return int(fields.size()); }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        return rows[index.row()][index.column()];
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return titles[section];
    }
    bool setHeaderData(int section, Qt::Orientation, const QVariant& value, int) override {
        titles[section] = value.toString();
        emit headerDataChanged(Qt::Horizontal, section, section);
        return true;
    }
    bool IsOpen() const override { return open; }
    QString FieldName(int column) const override { return fields[column]; }
    QString SortExpression() const override { return sort; }
    void SetSortExpression(const QString& expression) override {
        sort = expression;
        const int column = int(fields.indexOf(expression.section(u' ', 0, 0)));
        const bool descending = expression.contains(QStringLiteral("DESC"));
        emit layoutAboutToBeChanged();
        std::stable_sort(rows.begin(), rows.end(), [&](const QStringList& a, const QStringList& b) {
            return descending ? b[column] < a[column] : a[column] < b[column];
        });
        emit layoutChanged();
    }

    QStringList fields;
    QStringList titles;
    QList<QStringList> rows;
    QString sort;
    bool open = true;
};

TMemoryModel* NamesModel(QObject* parent) {
    auto* model = new TMemoryModel(
        {QStringLiteral("姓名"), QStringLiteral("手机号码"), QStringLiteral("号码")},
        {{"b", "2", "x"}, {"c", "1", "y"}, {"a", "3", "z"}});
    model->setParent(parent);
    return model;
}

QString Cell(const TVoskDBGrid& grid, int row, int column) {
    return grid.model()->index(row, column).data().toString();
}

} // namespace

TEST(VoskDBGrid, StartsWithTheDefaultColours) {
    TVoskDBGrid grid;
    EXPECT_EQ(grid.property("GridOddColor").value<QColor>(), grid.palette().color(QPalette::Base));
    EXPECT_EQ(grid.property("GridEvenColor").value<QColor>(), QColor(255, 251, 240));
    EXPECT_EQ(grid.GriddingRowColor(), QColor(166, 202, 240));
    EXPECT_EQ(grid.GriddingColColor(), QColor(166, 202, 240));
}

TEST(VoskDBGrid, OddRecordsEvenRecordsAndTheSelectedRowGetTheirColours) {
    TVoskDBGrid grid;
    grid.SetGridOddColor(Qt::white);
    EXPECT_EQ(grid.RowColor(0, false), QColor(Qt::white));
    EXPECT_EQ(grid.RowColor(1, false), QColor(255, 251, 240));
    EXPECT_EQ(grid.RowColor(2, false), QColor(Qt::white));
    EXPECT_EQ(grid.RowColor(1, true), grid.palette().color(QPalette::Active, QPalette::Highlight));
}

TEST(VoskDBGrid, PaintsStripesSelectionAndCellLines) {
    TVoskDBGrid grid;
    grid.SetGridOddColor(Qt::white);
    grid.SetGriddingColColor(QColor(200, 0, 0));
    grid.setModel(NamesModel(&grid));
    grid.resize(400, 200);
    grid.show();
    grid.selectRow(2);
    const QImage image = grid.viewport()->grab().toImage();

    const int x = grid.columnViewportPosition(0) + grid.columnWidth(0) - 6;
    auto middleOf = [&](int row) {
        return grid.rowViewportPosition(row) + grid.rowHeight(row) / 2;
    };
    auto bottomOf = [&](int row) {
        return grid.rowViewportPosition(row) + grid.rowHeight(row) - 1;
    };
    EXPECT_EQ(image.pixelColor(x, middleOf(0)), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(x, middleOf(1)), QColor(255, 251, 240));
    EXPECT_EQ(image.pixelColor(x, middleOf(2)), grid.RowColor(2, true));
    EXPECT_EQ(image.pixelColor(x, bottomOf(0)), QColor(166, 202, 240));
    const int right = grid.columnViewportPosition(0) + grid.columnWidth(0) - 1;
    EXPECT_EQ(image.pixelColor(right, middleOf(1)), QColor(200, 0, 0));
}

TEST(VoskDBGrid, TitleClicksCycleAscendingDescendingAndAscendingWithATrailingSpace) {
    TVoskDBGrid grid;
    auto* model = NamesModel(&grid);
    grid.setModel(model);

    emit grid.horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(model->sort, QStringLiteral("姓名"));
    EXPECT_EQ(model->titles[0], QStringLiteral("▲姓名"));
    EXPECT_EQ(Cell(grid, 0, 0), QStringLiteral("a"));

    grid.TitleClick(0);
    EXPECT_EQ(model->sort, QStringLiteral("姓名 DESC"));
    EXPECT_EQ(model->titles[0], QStringLiteral("▼姓名"));
    EXPECT_EQ(Cell(grid, 0, 0), QStringLiteral("c"));

    grid.TitleClick(0);
    EXPECT_EQ(model->sort, QStringLiteral("姓名 "));
    EXPECT_EQ(model->titles[0], QStringLiteral("▲姓名"));
    EXPECT_EQ(Cell(grid, 0, 0), QStringLiteral("a"));
}

TEST(VoskDBGrid, AnotherColumnStartsOverAndAFieldInsideTheExpressionCountsAsSorted) {
    TVoskDBGrid grid;
    auto* model = NamesModel(&grid);
    grid.setModel(model);
    grid.TitleClick(0);
    grid.TitleClick(1);
    EXPECT_EQ(model->titles, QStringList({"姓名", "▲手机号码", "号码"}));
    EXPECT_EQ(model->sort, QStringLiteral("手机号码"));

    grid.TitleClick(2);
    EXPECT_EQ(model->sort, QStringLiteral("手机号码 DESC"));
    EXPECT_EQ(model->titles, QStringList({"姓名", "手机号码", "▼号码"}));
}

TEST(VoskDBGrid, ARealClickOnATitleSorts) {
    TVoskDBGrid grid;
    auto* model = NamesModel(&grid);
    grid.setModel(model);
    grid.resize(400, 200);
    grid.show();
    QHeaderView* header = grid.horizontalHeader();
    const QPoint point(header->sectionViewportPosition(1) + 5, header->height() / 2);
    const QPoint global = header->viewport()->mapToGlobal(point);
    QMouseEvent press(QEvent::MouseButtonPress, point, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, point, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &press);
    QApplication::sendEvent(header->viewport(), &release);
    EXPECT_EQ(model->sort, QStringLiteral("手机号码"));
    EXPECT_EQ(model->titles[1], QStringLiteral("▲手机号码"));
}

TEST(VoskDBGrid, ClosedOrOtherModelsAreLeftAlone) {
    TVoskDBGrid grid;
    auto* model = NamesModel(&grid);
    model->titles[1] = QStringLiteral("▲手机号码");
    model->open = false;
    grid.setModel(model);
    grid.TitleClick(0);
    EXPECT_EQ(model->titles, QStringList({"姓名", "▲手机号码", "号码"}));
    EXPECT_TRUE(model->sort.isEmpty());

    QStandardItemModel plain(1, 1);
    plain.setHorizontalHeaderLabels({QStringLiteral("▼A")});
    grid.setModel(&plain);
    grid.TitleClick(0);
    EXPECT_EQ(plain.headerData(0, Qt::Horizontal).toString(), QStringLiteral("▼A"));
}
