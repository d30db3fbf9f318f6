#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "support/DataFileTest.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

class BatchTest : public DataFileTest {};

int Count(const QString& table) {
    return ExecScalarSql("select count(*) from " + table);
}

QString InsertPreset(const QString& text) {
    return "insert into AlamContext(Remark) values ('" + text + "')";
}

TEST(SplitTextTest, GivesOneMorePieceThanSeparators) {
    const QString sep = "@#@";
    EXPECT_EQ(SplitText("", sep), QStringList{""});
    EXPECT_EQ(SplitText("a", sep), QStringList{"a"});
    EXPECT_EQ(SplitText("@#@@#@", sep), (QStringList{"", "", ""}));
    EXPECT_EQ(SplitText("a@#@b", sep), (QStringList{"a", "b"}));
    EXPECT_EQ(SplitText("a@#@", sep), (QStringList{"a", ""}));
    EXPECT_EQ(SplitText("a@#@#@b", sep), (QStringList{"a", "#@b"}));
    EXPECT_EQ(SplitText("x@#Y@#@", sep), (QStringList{"x@#Y", ""}));
}

TEST_F(BatchTest, RunsEveryPieceAndSkipsBlankOnes) {
    ExecSql(InsertPreset("A") + "@#@@#@" + InsertPreset("B"));
    EXPECT_EQ(Count("AlamContext"), 2);

    ExecSql(" @#@\t\r\n@#@\x01 ");
    EXPECT_EQ(Count("AlamContext"), 2);
    EXPECT_FALSE(DbAccess().InTransaction());

    ExecSql(InsertPreset("C") + "@#@");
    EXPECT_EQ(Count("AlamContext"), 3);

    // One piece may hold several statements.
    ExecSql(InsertPreset("D") + ";\n" + InsertPreset("E") + ";");
    EXPECT_EQ(Count("AlamContext"), 5);
}

TEST_F(BatchTest, AFailingStatementUndoesTheWholeBatch) {
    const QString text = InsertPreset("A") + "@#@insert into NoSuchTable values (1)";
    try {
        ExecSql(text);
        FAIL() << "the batch should fail";
    } catch (const EDBException& error) {
        EXPECT_EQ(error.UserMessage, "数据库操作失败！");
        EXPECT_EQ(error.SqlText, text);
        EXPECT_THAT(error.Message().toStdString(), HasSubstr("no such table: NoSuchTable"));
    }
    EXPECT_EQ(Count("AlamContext"), 0);
    EXPECT_FALSE(DbAccess().InTransaction());
}

TEST_F(BatchTest, ColumnChangesRollBackWithTheData) {
    ExecSql("alter table Customer add 生日 varchar(100)@#@"
            "insert into AppTitle(TitleName, TitleType) values ('生日', 3)");
    EXPECT_GE(DbAccess().OpenQuery("select * from Customer").FieldIndex("生日"), 0);

    // TitleType 9 breaks its CHECK: the column added before must go again.
    EXPECT_THROW(ExecSql("alter table Customer add 籍贯 varchar(100)@#@"
                         "insert into AppTitle(TitleName, TitleType) values ('籍贯', 9)"),
                 EDBException);
    EXPECT_EQ(DbAccess().OpenQuery("select * from Customer").FieldIndex("籍贯"), -1);

    EXPECT_THROW(ExecSql("alter table Customer drop column 生日@#@delete from Nowhere"),
                 EDBException);
    EXPECT_GE(DbAccess().OpenQuery("select * from Customer").FieldIndex("生日"), 0);

    ExecSql("alter table Customer rename column 生日 to 出生日期@#@"
            "update AppTitle set TitleName = '出生日期' where TitleName = '生日'");
    EXPECT_GE(DbAccess().OpenQuery("select * from Customer").FieldIndex("出生日期"), 0);
}

TEST_F(BatchTest, StatementListsBindValuesAndReportTheirSqlWithoutThem) {
    const QString insert = "insert into AlamContext(Remark) values (?)";
    ExecSql(QList<SqlStatement>{{insert, {"x"}}, {insert, {"y"}}});
    EXPECT_EQ(Count("AlamContext"), 2);

    const QString wrong = "insert into AlamContext(Nothing) values (?)";
    try {
        ExecSql(QList<SqlStatement>{{insert, {"secret"}}, {wrong, {"w"}}});
        FAIL() << "the batch should fail";
    } catch (const EDBException& error) {
        EXPECT_EQ(error.UserMessage, "数据库操作失败！");
        EXPECT_EQ(error.SqlText, insert + "@#@" + wrong);
    }
    EXPECT_EQ(Count("AlamContext"), 2);

    // Too few or too many values is a failure, never a silent NULL.
    EXPECT_THROW(ExecSql(QList<SqlStatement>{{insert, {}}}), EDBException);
    EXPECT_THROW(ExecSql(QList<SqlStatement>{{insert, {"a", "b"}}}), EDBException);
    EXPECT_EQ(Count("AlamContext"), 2);
}

TEST_F(BatchTest, BatchesInsideAnOpenTransactionNestSafely) {
    TDbAccess& db = DbAccess();
    db.BeginTransaction();
    ExecSql(InsertPreset("A"));
    EXPECT_THROW(ExecSql(InsertPreset("B") + "@#@bad statement"), EDBException);
    EXPECT_TRUE(db.InTransaction());
    EXPECT_EQ(Count("AlamContext"), 1);
    db.Rollback();
    EXPECT_EQ(Count("AlamContext"), 0);

    db.BeginTransaction();
    ExecSql(InsertPreset("C"));
    db.Commit();
    EXPECT_FALSE(db.InTransaction());
    EXPECT_EQ(Count("AlamContext"), 1);
}

TEST_F(BatchTest, ScalarOfNothingIsZero) {
    EXPECT_EQ(ExecScalarSql("select count(*) from Alam "), 0);
    EXPECT_EQ(ExecScalarSql("select max(ID) from Alam"), 0);
    EXPECT_EQ(ExecScalarSql("select ID from Alam"), 0);
    EXPECT_EQ(ExecScalarSql("select ?", {"42"}), 42);
    try {
        ExecScalarSql("select nothing from Alam");
        FAIL() << "the query should fail";
    } catch (const EDBException& error) {
        EXPECT_EQ(error.UserMessage, "数据库查询错误，请检查！");
        EXPECT_EQ(error.SqlText, "select nothing from Alam");
    }
}

TEST_F(BatchTest, AwkwardTextsAreStoredAndFoundExactly) {
    const QStringList texts = {
        "O'Brien", "a@#@b", "say \"hi\"",         "[x]]",
        "100%",    "a_b",   "行一\r\n行二\n行三", "'); delete from Customer; --"};
    for (int i = 0; i < texts.size(); ++i)
        ExecSql(QList<SqlStatement>{
            {"insert into Customer([GUID], TypeID, 姓名, 备注) values (?, 0, ?, ?)",
             {QString::number(i), texts[i], texts[i]}}});
    EXPECT_EQ(Count("Customer"), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(ExecScalarSql("select count(*) from Customer where 姓名 = ? and 备注 = ?",
                                {texts[i], texts[i]}),
                  1)
            << texts[i].toStdString();
        TDataSet& row = DbAccess().OpenQuery("select 备注 from Customer where [GUID] = ?",
                                             {QString::number(i)});
        EXPECT_EQ(row.AsString("备注"), texts[i]);
    }
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer where 姓名 like ?", {"100%"}), 1);
}

TEST_F(BatchTest, QuotedIdentifiersAndBooleans) {
    const QString name = "他\"说";
    ExecSql("alter table Customer add " + QuoteIdent(name) + " varchar(100)");
    EXPECT_GE(
        DbAccess().OpenQuery("select " + QuoteIdent(name) + " from Customer").FieldIndex(name), 0);

    ExecSql(
        QList<SqlStatement>{{"insert into AppTitle(TitleName, Titlebt, Titlewy) values (?, ?, ?)",
                             {"a", true, false}}});
    TDataSet& title = DbAccess().OpenQuery("select Titlebt, Titlewy from AppTitle");
    EXPECT_EQ(title.AsInteger("Titlebt"), -1);
    EXPECT_EQ(title.AsInteger("Titlewy"), 0);
}

} // namespace
