#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "support/DataFileTest.h"

#include <gmock/gmock.h>

namespace {

using CursorTest = DataFileTest;

TEST_F(CursorTest, QuerySetAppendsAndEditsRowsThroughBoundValues) {
    ExecSql("insert into NoteBook(TypeID, ReMark) values (8, 'other note')");
    QString longText = "引号' \"双\" @#@ ]\r\n";
    while (longText.size() < 100000)
        longText += longText;

    TDataSet& notes = DbAccess().OpenQuery("select * from NoteBook where TypeID = ?", {7});
    EXPECT_TRUE(notes.Eof());
    notes.Append();
    notes.SetField("TypeID", 7);
    notes.SetField("remark", longText);
    notes.Post();
    EXPECT_EQ(notes.RecordCount(), 1);
    const int id = notes.AsInteger("ID");
    EXPECT_GT(id, 1);
    EXPECT_EQ(notes.AsString("ReMark"), longText);

    notes.Edit();
    notes.SetField("ReMark", "改过的");
    notes.Post();
    EXPECT_EQ(notes.AsInteger("ID"), id);

    TDataSet& reread = DbAccess().OpenQuery("select TypeID, ReMark from NoteBook order by ID");
    ASSERT_EQ(reread.RecordCount(), 2);
    EXPECT_EQ(reread.AsString("ReMark"), "other note");
    reread.Next();
    EXPECT_EQ(reread.AsInteger("TypeID"), 7);
    EXPECT_EQ(reread.AsString("ReMark"), "改过的");
}

TEST_F(CursorTest, QuerySetWithoutKeyEditsTheMatchingRowOnly) {
    ExecSql("insert into AppTitle(TitleName, TitleValues) values ('a', 'same')@#@"
            "insert into AppTitle(TitleName, TitleValues) values ('b', 'same')@#@"
            "insert into AppTitle(TitleName, TitleValues) values ('c', NULL)");
    TDataSet& titles = DbAccess().OpenQuery("select TitleName, TitleValues from AppTitle");
    titles.MoveTo(1);
    titles.Edit();
    titles.SetField("TitleValues", "新的");
    titles.Post();
    titles.MoveTo(2);
    titles.Edit();
    titles.SetField("TitleValues", "有值");
    titles.First(); // moving away posts the pending edit
    EXPECT_EQ(titles.State(), TDataSet::EditState::Browse);

    TDataSet& check =
        DbAccess().OpenAuxQuery("select group_concat(TitleName || '=' || TitleValues) from "
                                "(select * from AppTitle order by TitleName)");
    EXPECT_EQ(check.AsString(0), "a=same,b=新的,c=有值");

    TDataSet& joined = DbAccess().OpenQuery(
        "select a.姓名, b.TypeName from Customer a, CustomerType b where a.TypeID = b.SelfIndex");
    joined.Append();
    joined.SetField("姓名", "x");
    EXPECT_THROW(joined.Post(), EDBException);
}

} // namespace
