#include "controls/GridBinding.h"
#include "controls/SortableModel.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "support/DataFileTest.h"
#include "ui/ExceptionHandler.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTreeWidget>
#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

class GridBindingTest : public DataFileTest {
protected:
    void AddCustomer(const QString& guid, const QString& name, int typeId = 0) {
        ExecSql(QList<SqlStatement>{
            {"insert into Customer([GUID], TypeID, 姓名) values (?, ?, ?)", {guid, typeId, name}}});
    }

    QStringList GridColumn(int column) {
        QStringList texts;
        QAbstractItemModel* model = grid.model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->data(model->index(row, column)).toString();
        return texts;
    }

    // The cell as the grid's delegate paints it with the style, the given width wide.
    QImage PaintCell(const QModelIndex& index, int width) {
        QImage image(width, 30, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.initFrom(&grid);
        option.widget = &grid;
        option.rect = image.rect();
        grid.itemDelegateForIndex(index)->paint(&painter, option, index);
        return image;
    }

    // Whether the value shows whole at its column's width: it looks as it does with room to spare.
    bool ShowsWhole(const QModelIndex& index, int narrower = 0) {
        const int width = grid.columnWidth(index.column()) - narrower;
        return PaintCell(index, width) == PaintCell(index, width + 300).copy(0, 0, width, 30);
    }

    QTableView grid;
};

TEST_F(GridBindingTest, AFailedGridQueryLeavesTheGridEmpty) {
    AddCustomer("1", "张三");
    OpenGrid("select 姓名 from Customer", &grid, true);
    ASSERT_EQ(grid.model()->rowCount(), 1);

    const QString sql = "select NoColumn from Customer";
    try {
        OpenGrid(sql, &grid, true);
        FAIL() << "the query should fail";
    } catch (const EDBException& error) {
        EXPECT_EQ(error.UserMessage, "数据库查询错误，请检查！");
        EXPECT_EQ(error.SqlText, sql);
        EXPECT_THAT(error.Message().toStdString(), HasSubstr("no such column: NoColumn"));
    }
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.model()->columnCount(), 0);
}

TEST_F(GridBindingTest, TheHandlerShowsAndLogsAFailedQueryWithItsSql) {
    const QString sql = "select NoColumn from Customer where 姓名 = ?";
    RunHandled(nullptr, [&] { OpenGrid(sql, &grid, false, {"x"}); });
    ASSERT_FALSE(boxes.shown.isEmpty());
    EXPECT_EQ(boxes.Last().caption, "错误");
    EXPECT_EQ(boxes.Last().text, "数据库查询错误，请检查！\n详细信息：no such column: NoColumn");
    EXPECT_THAT(readLog(clock.now.date()).toStdString(),
                HasSubstr("2024-03-15 09:59:58：数据库查询错误，请检查！\n详细信息：no such "
                          "column: NoColumn\n" +
                          sql.toStdString()));
}

TEST_F(GridBindingTest, SortingIsStableAndComparesNumbersAsNumbers) {
    AddCustomer("1", "b", 2);
    AddCustomer("2", "a", 10);
    AddCustomer("3", "c", 2);
    AddCustomer("4", "B", 1);
    OpenGrid("select 姓名, TypeID from Customer", &grid, false);
    auto* model = qobject_cast<TSortableModel*>(grid.model());
    ASSERT_NE(model, nullptr);
    grid.setCurrentIndex(model->index(2, 0));
    EXPECT_EQ(DbAccess().GridSet().AsString("姓名"), "c");

    model->SetSortExpression("typeid DESC, nosuch");
    EXPECT_EQ(GridColumn(0), (QStringList{"a", "b", "c", "B"}));
    EXPECT_EQ(model->SortExpression(), "typeid DESC, nosuch");
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_EQ(DbAccess().GridSet().AsString("姓名"), "c");

    model->SetSortExpression("姓名");
    EXPECT_EQ(GridColumn(0), (QStringList{"a", "b", "B", "c"}));
    EXPECT_EQ(DbAccess().GridSet().AsString("姓名"), "c");
    EXPECT_EQ(grid.currentIndex().row(), 3);
}

TEST_F(GridBindingTest, FillListViewGivesOneItemPerRowInQueryOrder) {
    ExecSql("insert into AlamContext(Remark) values ('第一')@#@"
            "insert into AlamContext(Remark) values ('第二')");
    QTreeWidget list;
    list.setColumnCount(3);
    new QTreeWidgetItem(&list, QStringList{"stale"});

    FillListView("select ID, Remark, length(Remark) + ? from AlamContext order by ID desc", &list,
                 {10});
    ASSERT_EQ(list.topLevelItemCount(), 2);
    const QTreeWidgetItem* first = list.topLevelItem(0);
    EXPECT_EQ(first->columnCount(), 3);
    EXPECT_EQ(first->text(0), "2");
    EXPECT_EQ(first->text(1), "第二");
    EXPECT_EQ(first->text(2), "12");
    EXPECT_EQ(list.topLevelItem(1)->text(1), "第一");
    EXPECT_TRUE(list.updatesEnabled());

    FillListView("select ID, Remark from AlamContext where ID > 5", &list);
    EXPECT_EQ(list.topLevelItemCount(), 0);
}

TEST_F(GridBindingTest, FitColumnsSizesToTitlesAndTheFirstRows) {
    const QFontMetrics metrics(grid.font());
    OpenGrid("select 姓名 from Customer", &grid, false);
    grid.setColumnWidth(0, 77);
    DbAccess().GridSet().Close();
    FitColumns(&grid);
    EXPECT_EQ(grid.columnWidth(0), 77);

    OpenGrid("select 姓名, 手机号码 from Customer", &grid, true);
    EXPECT_EQ(grid.columnWidth(0), metrics.horizontalAdvance("姓名") + 24);
    EXPECT_EQ(grid.columnWidth(1), metrics.horizontalAdvance("手机号码") + 24);

    const QString wide = "一个很长很长很长的客户名称，比标题宽得多";
    for (int i = 0; i < 60; ++i)
        AddCustomer(QString::number(i), i == 55 ? wide + wide : i == 3 ? wide : "x");
    OpenGrid("select 姓名, 手机号码 from Customer", &grid, false);
    grid.setCurrentIndex(grid.model()->index(4, 1));
    FitColumns(&grid);
    EXPECT_TRUE(ShowsWhole(grid.model()->index(3, 0)));
    EXPECT_FALSE(ShowsWhole(grid.model()->index(55, 0))); // beyond the first 50
    EXPECT_EQ(grid.currentIndex().row(), 4);
    EXPECT_EQ(DbAccess().GridSet().RecNo(), 4);

    QStringList many;
    for (int i = 0; i < 70; ++i)
        many << QString("%1 as 字段%1").arg(i);
    OpenGrid("select " + many.join(", "), &grid, true);
    EXPECT_EQ(grid.columnWidth(69), metrics.horizontalAdvance("字段69") + 24);
}

TEST_F(GridBindingTest, FittedColumnsShowNumbersAndTimesWholeInsideTheStylesCellMargins) {
    OpenGrid("select '13812345678' as tel, '2024-01-01 09:00:00' as at", &grid, true);
    for (int column = 0; column < 2; ++column) {
        const QModelIndex cell = grid.model()->index(0, column);
        EXPECT_TRUE(ShowsWhole(cell)) << column;
        EXPECT_FALSE(ShowsWhole(cell, 2)) << column; // no room to spare: the fit is tight
    }
}

TEST_F(GridBindingTest, RequeryKeepsTheGridLayoutAndRaisesPlainErrors) {
    AddCustomer("1", "a");
    ExecSql("alter table Customer add 生日 varchar(100)");
    OpenGrid("select 姓名, 生日 from Customer where TypeID = ?", &grid, true, {0});
    grid.setColumnWidth(0, 123);
    grid.setColumnHidden(1, true);
    grid.model()->setHeaderData(0, Qt::Horizontal, "姓名 ▲");
    AddCustomer("2", "b");
    AddCustomer("3", "c");
    grid.setCurrentIndex(grid.model()->index(1, 0));

    RequeryGrid();
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.columnWidth(0), 123);
    EXPECT_TRUE(grid.isColumnHidden(1));
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "姓名 ▲");
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(DbAccess().GridSet().AsString("姓名"), "a");

    ExecSql("alter table Customer drop column 生日");
    EXPECT_FALSE(RunHandled(nullptr, [] { RequeryGrid(); }));
    EXPECT_EQ(boxes.Last().text, "no such column: 生日");
    EXPECT_TRUE(readLog(clock.now.date()).isEmpty());
}

} // namespace
