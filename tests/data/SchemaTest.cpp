#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "support/DataFileTest.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

class SchemaTest : public DataFileTest {};

TEST_F(SchemaTest, ShipsTheRequiredRows) {
    TDataSet& groups = DbAccess().OpenQuery("select * from CustomerType");
    ASSERT_EQ(groups.RecordCount(), 1);
    EXPECT_EQ(groups.AsInteger("SelfIndex"), 0);
    EXPECT_EQ(groups.AsString("TypeName"), "未分组");

    TDataSet& settings = DbAccess().OpenQuery("select * from SysSet");
    ASSERT_EQ(settings.RecordCount(), 1);
    EXPECT_FALSE(settings.AsBoolean("bPass"));

    ExecSql("insert into Customer([GUID], TypeID, 姓名) values ('g', 0, '无组')");
    TDataSet& listed = DbAccess().OpenQuery(
        "select b.TypeName from Customer a, CustomerType b where a.TypeID = b.SelfIndex");
    ASSERT_EQ(listed.RecordCount(), 1);
    EXPECT_EQ(listed.AsString(0), "未分组");
}

TEST_F(SchemaTest, CreationTimeDefaultsToLocalTimeAndTiesKeepInsertionOrder) {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    ExecSql("insert into Customer([GUID], 姓名) values ('1', 'now')");
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    const QDateTime stored = QDateTime::fromString(
        DbAccess().OpenQuery("select 新建时间 from Customer").AsString(0), "yyyy-MM-dd hh:mm:ss");
    ASSERT_TRUE(stored.isValid());
    EXPECT_LE(before, stored);
    EXPECT_LE(stored, after);

    const QString insert = "insert into Customer([GUID], 姓名, 新建时间) values (?, ?, ?)";
    ExecSql(QList<SqlStatement>{{insert, {"2", "c", "2099-01-01 10:00:00"}},
                                {insert, {"3", "a", "2099-01-01 10:00:00"}},
                                {insert, {"4", "b", "2099-01-01 10:00:00"}},
                                {insert, {"5", "early", "2000-01-01 10:00:00"}}});
    TDataSet& list =
        DbAccess().OpenQuery("select a.姓名 from Customer a, CustomerType b "
                             "where a.TypeID = b.SelfIndex order by a.新建时间, a.rowid");
    QStringList names;
    for (list.First(); !list.Eof(); list.Next())
        names << list.AsString(0);
    EXPECT_EQ(names, (QStringList{"early", "now", "c", "a", "b"}));
}

TEST_F(SchemaTest, YesNoColumnsReadAsBooleans) {
    ExecSql("insert into Alam(iHour, iMinute, iMonWeek, ReDay, AlamDate, ReMark) "
            "values (9, 30, 1, 0, '2024-03-15', '开会')");
    EXPECT_EQ(ExecScalarSql("select count(*) from Alam where bLook=0"), 1);

    ExecSql("insert into APPTitle(TitleName, TitleType, Titlebt, Titlewy) "
            "values ('a', 0, '-1', '0')");
    ExecSql(QList<SqlStatement>{
        {"insert into Apptitle(TitleName, Titlebt) values (?, ?)", {"b", QString("-1")}}});
    TDataSet& titles = DbAccess().OpenQuery("select * from APPTitle where TitleName=? ", {"a"});
    EXPECT_TRUE(titles.AsBoolean("Titlebt"));
    EXPECT_FALSE(titles.AsBoolean("titleWY"));
    EXPECT_EQ(ExecScalarSql("select count(*) from AppTitle where Titlebt = -1"), 2);
    EXPECT_EQ(DbAccess().OpenQuery("select TitleName from AppTitle ").RecordCount(), 2);
}

TEST_F(SchemaTest, OverlongTextsFailAsDatabaseErrors) {
    const QString insert = "insert into Customer([GUID], 姓名) values (?, ?)";
    ExecSql(QList<SqlStatement>{{insert, {"1", QString(255, QChar(u'名'))}}});
    try {
        ExecSql(QList<SqlStatement>{{insert, {"2", QString(256, QChar(u'名'))}}});
        FAIL() << "an overlong name must fail";
    } catch (const EDBException& error) {
        EXPECT_EQ(error.UserMessage, "数据库操作失败！");
        EXPECT_THAT(error.Message().toStdString(), HasSubstr("CHECK constraint failed"));
    }
    EXPECT_THROW(ExecSql(QList<SqlStatement>{{insert, {QString(37, 'G'), "x"}}}), EDBException);
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer"), 1);
}

} // namespace
