#include "customers/GroupTable.h"
#include "customers/Customer.h"
#include "customers/CustomersTestSupport.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"

namespace {

class GroupTableTest : public CustomersTest {
protected:
    // The stored groups as "self/parent/name", by id.
    QStringList Groups() {
        QStringList rows;
        for (TDataSet& set = DbAccess().OpenQuery(
                 "select SelfIndex, ParentIndex, TypeName from CustomerType order by SelfIndex");
             !set.Eof(); set.Next())
            rows << set.AsString(0) + '/' + set.AsString(1) + '/' + set.AsString(2);
        return rows;
    }

    // The message a change stopped with; empty when it went through.
    static QString Refusal(const std::function<void()>& change) {
        try {
            change();
        } catch (const EUserError& error) {
            return error.Message();
        }
        return QString();
    }

    std::unique_ptr<TGroupTable> groups = CustomerGroups();
};

const QString kDuplicate = QStringLiteral("该名称已经存在，请重新输入！");

TEST_F(GroupTableTest, IdsFollowTheLargestOfTheTreeTheTableAndTheMembersRows) {
    groups->Load();
    EXPECT_EQ(groups->Add("华东", 0).SelfIndex, 1);
    EXPECT_EQ(groups->Add("上海", 0).SelfIndex, 2);
    EXPECT_EQ(groups->Add("杭州", 1).SelfIndex, 3);
    EXPECT_EQ(Groups(), (QStringList{"0/0/未分组", "1/0/华东", "2/0/上海", "3/1/杭州"}));

    groups->Delete(3, {});
    EXPECT_EQ(groups->Add("宁波", 1).SelfIndex, 3);
    // Stored through the picker since the tree was loaded: the next id clears it.
    AddGroup(9, 0, "别处");
    EXPECT_EQ(groups->Add("温州", 1).SelfIndex, 10);
    EXPECT_EQ(Groups().mid(3), (QStringList{"3/1/宁波", "9/0/别处", "10/1/温州"}));

    // A new group does not take the id a lost group's customers still carry.
    AddCustomer("G9", 17, "旧版遗留", "137");
    EXPECT_EQ(groups->Add("又一组", 0).SelfIndex, 18);
    EXPECT_EQ(groups->MaxIndex(), 18);
}

TEST_F(GroupTableTest, NamesAreUniqueAcrossTheTreeWithItsRootAndLetterCaseCounts) {
    AddGroup(1, 0, "Abc");
    AddGroup(2, 1, "深层");
    groups->Load();
    EXPECT_EQ(Refusal([&] { groups->Add("全部", 0); }), kDuplicate);
    EXPECT_EQ(Refusal([&] { groups->Add("深层", 0); }), kDuplicate);
    EXPECT_EQ(Refusal([&] { groups->Add("abc", 0); }), QString());
    EXPECT_EQ(Refusal([&] { groups->Rename(2, "Abc"); }), kDuplicate);
    EXPECT_EQ(Groups(), (QStringList{"0/0/未分组", "1/0/Abc", "2/1/深层", "3/0/abc"}));
    // Quotes and the batch separator are names like any other; the old name is free again.
    groups->Rename(2, "O'Neil \"@#@\" ]");
    EXPECT_EQ(Groups().at(2), "2/1/O'Neil \"@#@\" ]");
    EXPECT_TRUE(groups->Exists("O'Neil \"@#@\" ]"));
    EXPECT_FALSE(groups->Exists("深层"));
}

TEST_F(GroupTableTest, AGroupGoesWithItsCustomersAndTheirFilesInOneBatchOrNotAtAll) {
    AddGroup(1, 0, "老客户");
    AddGroup(3, 0, "新客户");
    AddCustomer("G1", 3, "张三", "139");
    AddCustomer("G2", 1, "李四", "138");
    ExecSql("insert into ConnFile(GUID, FileName) values ('G1', '/a'), ('G2', '/b')");
    groups->Load();
    AddGroup(4, 3, "选组时新建"); // through the picker: not in this tree
    EXPECT_EQ(Refusal([&] { groups->CheckDeletable(3); }),
              QStringLiteral("还有下级分组，不能删除该分组！"));
    EXPECT_EQ(Refusal([&] { groups->CheckDeletable(4); }), QString());
    ExecSql("delete from CustomerType where SelfIndex = 4");
    groups->Add("子组", 1);
    EXPECT_EQ(Refusal([&] { groups->CheckDeletable(1); }),
              QStringLiteral("还有下级分组，不能删除该分组！"));

    ExecSql("create trigger KeepCustomers before delete on Customer "
            "begin select raise(abort, 'disk full'); end");
    EXPECT_THROW(groups->Delete(3, Customer().DeleteByTypeStatements(3)), EDBException);
    EXPECT_EQ(Groups(), (QStringList{"0/0/未分组", "1/0/老客户", "3/0/新客户", "4/1/子组"}));
    EXPECT_TRUE(groups->Exists("新客户"));
    ExecSql("drop trigger KeepCustomers");

    groups->Delete(3, Customer().DeleteByTypeStatements(3));
    EXPECT_EQ(Groups(), (QStringList{"0/0/未分组", "1/0/老客户", "4/1/子组"}));
    EXPECT_FALSE(groups->Exists("新客户"));
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer where GUID = 'G1'"), 0);
    EXPECT_EQ(ExecScalarSql("select count(*) from ConnFile where GUID = 'G1'"), 0);
    EXPECT_EQ(ExecScalarSql("select count(*) from ConnFile"), 1);
}

} // namespace
