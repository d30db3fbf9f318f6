#include "controls/GridBinding.h"
#include "controls/SortableModel.h"
#include "data/DbAccess.h"
#include "support/DataFileTest.h"

#include <QTableView>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

class ResultSetTest : public DataFileTest {
protected:
    QStringList Column(TDataSet& rows, int field) {
        QStringList texts;
        for (rows.First(); !rows.Eof(); rows.Next())
            texts << (rows.Value(field).isNull() ? "<null>" : rows.AsString(field));
        return texts;
    }

    QTableView grid;
};

TEST_F(ResultSetTest, CellsReadBackAsTextsNumbersAndNullsAsBefore) {
    TDataSet& rows = DbAccess().OpenQuery(
        "select NULL as n, '' as e, 42 as i, -7, 9007199254740993, 2.5, 1e20, 0.1, 1.0/3, 'x', "
        "x'6869'");
    const QStringList texts = {
        "",  "",  "42", "-7", "9007199254740993", "2.5", "1e+20", "0.1", "0.333333333333333",
        "x", "hi"};
    ASSERT_EQ(rows.FieldCount(), texts.size());
    for (int field = 0; field < rows.FieldCount(); ++field) {
        EXPECT_EQ(rows.AsString(field), texts[field]) << field;
        EXPECT_EQ(rows.TextAt(0, field), texts[field]) << field;
    }
    EXPECT_FALSE(rows.Value("n").isValid());
    EXPECT_EQ(rows.Value("E").typeId(), QMetaType::QString);
    EXPECT_EQ(rows.Value(2).typeId(), QMetaType::LongLong);
    EXPECT_EQ(rows.Value(4).toLongLong(), 9007199254740993LL);
    EXPECT_EQ(rows.Value(5).typeId(), QMetaType::Double);
    EXPECT_EQ(rows.Value(10).toByteArray(), "hi");
    EXPECT_EQ(rows.AsInteger("n"), 0);
    EXPECT_EQ(rows.AsInteger("I"), 42);
    EXPECT_EQ(rows.AsInteger(5), 3);

    OpenGrid("select NULL as v union all select '' union all select 7", &grid, false);
    EXPECT_EQ(grid.model()->data(grid.model()->index(1, 0)).toString(), "");
    EXPECT_EQ(grid.model()->data(grid.model()->index(2, 0)).toString(), "7");
    qobject_cast<TSortableModel*>(grid.model())->SetSortExpression("v DESC");
    EXPECT_EQ(Column(DbAccess().GridSet(), 0), (QStringList{"", "7", "<null>"}));

    TDataSet& other = DbAccess().OpenQuery("select 3 as b");
    EXPECT_EQ(other.FieldIndex("a"), -1);
    EXPECT_EQ(other.FieldIndex("B"), 0);
}

TEST_F(ResultSetTest, NumbersAreReadFromTextsNumbersAndNothingElse) {
    TDataSet& rows = DbAccess().OpenQuery(
        "select column1 as v from (values ('12.5'), (' 7 '), ('+3'), ('-2e2'), ('　8　'), (4), "
        "(0.25), ('1,000'), ('abc'), (''), (NULL), ('inf'), ('nan'), ('0x10'), ('１２'), ('+-1'))");
    QStringList read;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        double number = -99;
        read << (rows.AsNumber(0, number) ? QString::number(number) : "no");
    }
    EXPECT_EQ(read, (QStringList{"12.5", "7", "3", "-200", "8", "4", "0.25", "no", "no", "no", "no",
                                 "no", "no", "no", "no", "no"}));
}

TEST_F(ResultSetTest, LongAndNonBmpTextsRoundTripThroughGridAndUpdates) {
    QString longText;
    for (int i = 0; longText.size() < 10000; ++i)
        longText += i % 3 ? QStringLiteral("长") : QStringLiteral("x");
    const QString emoji = QStringLiteral("客户😀👍🏽 ok");
    ExecSql(QList<SqlStatement>{
        {"insert into Customer(GUID, 姓名, 备注) values ('1', ?, ?)", {emoji, longText}}});

    OpenGrid("select 姓名, 备注 from Customer", &grid, true);
    EXPECT_EQ(grid.model()->data(grid.model()->index(0, 0)).toString(), emoji);
    EXPECT_EQ(grid.model()->data(grid.model()->index(0, 1)).toString(), longText);

    TDataSet& notes = DbAccess().OpenQuery("select * from NoteBook");
    notes.Append();
    notes.SetField("ReMark", emoji + longText);
    notes.Post();
    EXPECT_EQ(notes.AsString("ReMark"), emoji + longText);
    EXPECT_EQ(DbAccess().OpenQuery("select ReMark from NoteBook").AsString(0), emoji + longText);
}

// The order the cursors have always given: NULL, numbers as numbers, texts compared without
// regard to case, blobs by their bytes; ties keep their order.
int ExpectedOrder(const QVariant& a, const QVariant& b) {
    const auto rank = [](const QVariant& v) {
        return v.isNull()                            ? 0
               : v.typeId() == QMetaType::QString    ? 2
               : v.typeId() == QMetaType::QByteArray ? 3
                                                     : 1;
    };
    if (rank(a) != rank(b))
        return rank(a) - rank(b);
    if (rank(a) == 1 && a.typeId() == QMetaType::LongLong && b.typeId() == QMetaType::LongLong)
        return a.toLongLong() < b.toLongLong() ? -1 : a.toLongLong() > b.toLongLong();
    if (rank(a) == 1)
        return a.toDouble() < b.toDouble() ? -1 : a.toDouble() > b.toDouble();
    if (rank(a) == 2)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    return rank(a) == 3 ? a.toByteArray().compare(b.toByteArray()) : 0;
}

TEST_F(ResultSetTest, SortingMixedNumbersAndTextsKeepsTheCompareRules) {
    const QStringList values = {"10",
                                "'9'",
                                "2.5",
                                "NULL",
                                "'abc'",
                                "'B'",
                                "''",
                                "'b'",
                                "'a'",
                                "-1",
                                "-0.0",
                                "0",
                                "9007199254740993",
                                "9007199254740992",
                                "'客户客户1'",
                                "'客户客户2'",
                                "'客户'",
                                "'😀'",
                                "'Ａ'",
                                "'ａ'",
                                "'ΣΑΣ'",
                                "'σας'",
                                "'abcdefgh'",
                                "'ABCDEFGH'",
                                "'abcdefgi'",
                                "'ab'",
                                "x'0102'",
                                "x'01'",
                                "x'0102030405060708090a'",
                                "x'0102030405060708090b'"};
    QStringList rows;
    for (const QString& value : values)
        rows << "(" + value + ")";
    TDataSet& set =
        DbAccess().OpenQuery("select column1 as v from (values " + rows.join(',') + ")");
    QVariantList read;
    for (set.First(); !set.Eof(); set.Next())
        read << set.Value(0);

    for (const bool descending : {false, true}) {
        QList<int> expected(read.size());
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            const int order = ExpectedOrder(read[a], read[b]);
            return descending ? order > 0 : order < 0;
        });
        set.SetSortExpression(descending ? "v DESC" : "v");
        QVariantList sorted;
        for (set.First(); !set.Eof(); set.Next())
            sorted << set.Value(0);
        // Sorting again starts from the order the last sort left.
        set.SetSortExpression("");
        QVariantList wanted;
        for (int row : expected)
            wanted << read[row];
        EXPECT_EQ(sorted, wanted) << descending;
        read = sorted;
    }
}

TEST_F(ResultSetTest, ASortStaysAcrossRequeryAndEditsReachTheSortedRow) {
    for (const char* name : {"b", "d", "a"})
        ExecSql(
            QList<SqlStatement>{{"insert into Customer(GUID, 姓名) values (?, ?)", {name, name}}});
    OpenGrid("select GUID, 姓名 from Customer", &grid, false);
    qobject_cast<TSortableModel*>(grid.model())->SetSortExpression("姓名 DESC");
    ExecSql(QList<SqlStatement>{{"insert into Customer(GUID, 姓名) values ('c', 'c')", {}}});
    RequeryGrid();
    EXPECT_EQ(Column(DbAccess().GridSet(), 1), (QStringList{"d", "c", "b", "a"}));
    EXPECT_EQ(DbAccess().GridSet().SortExpression(), "姓名 DESC");

    TDataSet& people = DbAccess().OpenQuery("select GUID, 姓名 from Customer");
    people.SetSortExpression("姓名");
    people.MoveTo(2);
    people.Edit();
    people.SetField("姓名", "z");
    people.Post();
    EXPECT_EQ(people.AsString("GUID"), "c");
    people.Append();
    people.SetField("GUID", "e");
    people.SetField("姓名", "e");
    people.Post();
    EXPECT_EQ(people.RecNo(), 4);
    EXPECT_EQ(Column(people, 1), (QStringList{"a", "b", "z", "d", "e"}));
    EXPECT_EQ(DbAccess().OpenAuxQuery("select 姓名 from Customer where GUID = 'c'").AsString(0),
              "z");
}

} // namespace
