#include "controls/FormAddType.h"
#include "controls/FormViewCustomerType.h"
#include "controls/VoskTree.h"
#include "customers/Customer.h"
#include "customers/CustomersTestSupport.h"
#include "customers/GroupTable.h"
#include "data/DbAccess.h"
#include "data/ExceptionHandler.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class GroupTreeTest : public CustomersTest {
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

    void Select(const QString& text) { tab->tv1->setCurrentItem(Node(text)); }

    // Runs a command the way a menu item does and returns the error box's text, if any.
    QString Run(const std::function<void()>& command) {
        boxes.shown.clear();
        RunHandled(nullptr, command);
        return boxes.shown.isEmpty() ? QString() : boxes.Last().text;
    }
};

TEST_F(GroupTreeTest, IdsFollowTheLargestInTheTreeAndTheTable) {
    OpenMainWindow();
    TVoskTree& tree = *tab->CustomerTree;
    EXPECT_FALSE(tree.NewGroup()); // nothing selected: nothing asked
    EXPECT_TRUE(boxes.shown.isEmpty());

    Select("全部");
    tree.AddGroup("华东");
    tree.AddGroup("上海"); // the new group is not selected: it goes under the root too
    Select("华东");
    tree.AddGroup("杭州");
    EXPECT_EQ(Groups(), (QStringList{"0/0/未分组", "1/0/华东", "2/0/上海", "3/1/杭州"}));
    EXPECT_EQ(tree.GroupPath(Node("杭州")), "全部->华东->杭州");

    Select("杭州");
    boxes.AnswerNext(true);
    tree.DeleteGroup();
    Select("华东");
    tree.AddGroup("宁波");
    // Stored through the picker since the tree was loaded: the next id clears it.
    AddGroup(9, 0, "别处");
    tree.AddGroup("温州");
    EXPECT_EQ(Groups().mid(3), (QStringList{"3/1/宁波", "9/0/别处", "10/1/温州"}));
}

TEST_F(GroupTreeTest, NamesAreUniqueAcrossTheWholeTreeAndLetterCaseCounts) {
    AddGroup(1, 0, "Abc");
    AddGroup(2, 1, "深层");
    OpenMainWindow();
    TVoskTree& tree = *tab->CustomerTree;
    Select("全部");
    const QString duplicate = QStringLiteral("该名称已经存在，请重新输入！");
    EXPECT_EQ(Run([&] { tree.AddGroup("全部"); }), duplicate);
    EXPECT_EQ(Run([&] { tree.AddGroup("深层"); }), duplicate);
    EXPECT_EQ(Run([&] { tree.AddGroup("abc"); }), QString());
    Select("深层");
    EXPECT_EQ(Run([&] { tree.RenameGroup("Abc"); }), duplicate);
    EXPECT_EQ(Node("深层")->text(0), "深层");
    EXPECT_EQ(Groups(), (QStringList{"0/0/未分组", "1/0/Abc", "2/1/深层", "3/0/abc"}));
    // Quotes and the batch separator are names like any other.
    tab->tv1Edited(Node("深层"), "O'Neil \"@#@\" ]");
    EXPECT_EQ(Groups().at(2), "2/1/O'Neil \"@#@\" ]");
}

TEST_F(GroupTreeTest, DeletionIsRefusedDeclinedOrTakesTheGroupsCustomers) {
    AddGroup(1, 0, "老客户");
    AddGroup(2, 1, "子组");
    AddGroup(3, 0, "新客户");
    AddCustomer("G1", 3, "张三", "139");
    AddCustomer("G2", 1, "李四", "138");
    OpenMainWindow();
    tab->tv1->clearSelection();
    EXPECT_EQ(Run([&] { tab->CustomerTree->DeleteGroup(); }), "请选择要删除的分组！");
    Select("全部");
    EXPECT_EQ(Run([&] { tab->NDelIETypeClick(); }), "不能删除根分组！");
    Select("老客户");
    EXPECT_EQ(Run([&] { tab->NDelIETypeClick(); }), "还有下级分组，不能删除该分组！");

    Select("新客户");
    boxes.AnswerNext(false);
    EXPECT_EQ(Run([&] { tab->NDelIETypeClick(); }), "确定要删除 新客户 分组吗？");
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer"), 2);
    EXPECT_NE(Node("新客户"), nullptr);

    boxes.AnswerNext(true);
    Run([&] { tab->NDelIETypeClick(); });
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.Last().text, "删除成功！");
    EXPECT_EQ(Node("新客户"), nullptr);
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer where GUID = 'G1'"), 0);
    EXPECT_EQ(ExecScalarSql("select count(*) from CustomerType where SelfIndex = 3"), 0);
    EXPECT_EQ(Column("姓名"), QStringList{"李四"});
}

TEST_F(GroupTreeTest, AGroupGoesWithItsCustomersAndTheirFilesInOneBatch) {
    AddGroup(1, 0, "老客户");
    AddGroup(3, 0, "新客户");
    AddCustomer("G1", 3, "张三", "139");
    AddCustomer("G2", 1, "李四", "138");
    AddCustomer("G9", 7, "旧版遗留", "137"); // filed in a group an older version lost
    ExecSql("insert into ConnFile(GUID, FileName) values ('G1', '/a'), ('G2', '/b')");
    OpenMainWindow();
    const TCustomerRecord lost = Customer().LoadCustomer("G9");
    EXPECT_EQ(QString::number(lost.TypeID) + lost.TypeName, "0未分组");

    AddGroup(4, 3, "选组时新建"); // through the picker: not in this tree
    Select("新客户");
    EXPECT_EQ(Run([&] { tab->NDelIETypeClick(); }), "还有下级分组，不能删除该分组！");
    ExecSql("delete from CustomerType where SelfIndex = 4");

    ExecSql("create trigger KeepCustomers before delete on Customer "
            "begin select raise(abort, 'disk full'); end");
    boxes.AnswerNext(true);
    EXPECT_TRUE(Run([&] { tab->NDelIETypeClick(); }).startsWith("数据库操作失败！"));
    EXPECT_EQ(Groups(), (QStringList{"0/0/未分组", "1/0/老客户", "3/0/新客户"}));
    EXPECT_EQ(tab->CustomerTree->SelectedIndex(), 3);
    ExecSql("drop trigger KeepCustomers");

    boxes.AnswerNext(true);
    EXPECT_EQ(Run([&] { tab->NDelIETypeClick(); }), "删除成功！");
    EXPECT_EQ(Groups(), (QStringList{"0/0/未分组", "1/0/老客户"}));
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer where GUID = 'G1'"), 0);
    EXPECT_EQ(ExecScalarSql("select count(*) from ConnFile where GUID = 'G1'"), 0);
    EXPECT_EQ(ExecScalarSql("select count(*) from ConnFile"), 1);

    // A new group does not take the id the lost group's customers still carry.
    Select("全部");
    tab->CustomerTree->AddGroup("又一组");
    EXPECT_EQ(Groups().last(), "8/0/又一组");
}

TEST_F(GroupTreeTest, LoadsParentsBeforeChildrenAndRenamesInPlace) {
    AddGroup(1, 0, "华东");
    AddGroup(2, 1, "上海");
    AddGroup(3, 2, "浦东");
    AddGroup(4, 77, "孤儿");
    OpenMainWindow();
    EXPECT_EQ(Node("浦东")->parent(), Node("上海"));
    EXPECT_EQ(Node("孤儿")->parent(), tab->CustomerTree->RootNode());
    EXPECT_TRUE(tab->CustomerTree->RootNode()->isExpanded());
    EXPECT_FALSE(Node("华东")->isExpanded());

    Select("上海");
    tab->NModIeTypeClick();
    auto* editor = tab->tv1->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("沪");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the view commits the edit in a posted call
    EXPECT_EQ(Node("沪"), Node("浦东")->parent());
    EXPECT_EQ(ExecScalarSql("select count(*) from CustomerType where TypeName = '沪'"), 1);
    EXPECT_FALSE(Node("沪")->flags() & Qt::ItemIsEditable);
}

TEST_F(GroupTreeTest, ThePickerGivesTheRootAsUngroupedAndAsksForAName) {
    AddGroup(1, 0, "华东");
    OpenMainWindow();
    TFormViewCustomerType picker(CustomerGroups());
    picker.btnOKClick();
    EXPECT_EQ(picker.result(), QDialog::Rejected); // nothing selected: stays open
    picker.tv1->setCurrentItem(picker.Tree->RootNode());
    picker.btnOKClick();
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_EQ(picker.ChosenIndex, 0);
    EXPECT_EQ(picker.ChosenName, "未分组");

    TFormAddType ask;
    ask.show();
    ask.btnOKClick();
    ask.edtName->setText("   ");
    ask.btnOKClick();
    EXPECT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.Last().text, "名称不能为空!");
    EXPECT_TRUE(ask.isVisible());
    ask.edtName->setText("组");
    QTest::keyClick(ask.edtName, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(ask.edtName->text(), "组" + QLocale().toString(clock.now, QLocale::ShortFormat));

    WhenModal([](QWidget* dialog) {
        auto* asking = qobject_cast<TFormAddType*>(dialog);
        ASSERT_NE(asking, nullptr);
        EXPECT_EQ(asking->edtPos->text(), "全部->华东");
        asking->edtName->setText(" 新 ");
        asking->btnOK->click();
    });
    picker.tv1->setCurrentItem(picker.Tree->RootNode()->child(0));
    picker.btn1Click();
    EXPECT_EQ(ExecScalarSql("select ParentIndex from CustomerType where TypeName = ' 新 '"), 1);
    EXPECT_EQ(picker.tv1->currentItem()->text(0), " 新 ");
}

} // namespace
