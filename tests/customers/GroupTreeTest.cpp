#include "controls/FormAddType.h"
#include "controls/FormViewCustomerType.h"
#include "controls/VoskTree.h"
#include "customers/CustomersTestSupport.h"
#include "customers/GroupTable.h"
#include "data/DbAccess.h"
#include "ui/ExceptionHandler.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class GroupTreeTest : public CustomersTest {
protected:
    void Select(const QString& text) { tab->tv1->setCurrentItem(Node(text)); }

    // Runs a command the way a menu item does and returns the error box's text, if any.
    QString Run(const std::function<void()>& command) {
        boxes.shown.clear();
        RunHandled(nullptr, command);
        return boxes.shown.isEmpty() ? QString() : boxes.Last().text;
    }
};

TEST_F(GroupTreeTest, TheTreeLoadsParentsFirstAndAddsUnderTheSelectedNode) {
    AddGroup(1, 0, "华东");
    AddGroup(2, 1, "上海");
    AddGroup(3, 2, "浦东");
    AddGroup(4, 77, "孤儿");
    QTreeWidget widget;
    TVoskTree tree(&widget, CustomerGroups());
    tree.LoadTree();
    const auto node = [&](const QString& text) {
        const QList<QTreeWidgetItem*> found = widget.findItems(text, Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    };
    EXPECT_EQ(node("浦东")->parent(), node("上海"));
    EXPECT_EQ(node("孤儿")->parent(), tree.RootNode());
    EXPECT_TRUE(tree.RootNode()->isExpanded());
    EXPECT_FALSE(node("华东")->isExpanded());
    EXPECT_FALSE(tree.NewGroup()); // nothing selected: nothing asked
    EXPECT_TRUE(boxes.shown.isEmpty());

    widget.setCurrentItem(tree.RootNode());
    tree.AddGroup("华南");
    tree.AddGroup("广州"); // the new group is not selected: it goes under the root too
    EXPECT_EQ(node("广州")->parent(), tree.RootNode());
    widget.setCurrentItem(node("浦东"));
    tree.AddGroup("陆家嘴");
    EXPECT_EQ(tree.GroupPath(node("陆家嘴")), "全部->华东->上海->浦东->陆家嘴");
    EXPECT_TRUE(node("浦东")->isExpanded());
    EXPECT_EQ(ExecScalarSql("select ParentIndex from CustomerType where TypeName = '陆家嘴'"), 3);

    widget.setCurrentItem(node("上海"));
    EXPECT_EQ(Run([&] { tree.RenameGroup("华南"); }), "该名称已经存在，请重新输入！");
    EXPECT_EQ(node("上海")->text(0), "上海");
    tree.RenameGroup("沪");
    EXPECT_EQ(node("沪"), node("浦东")->parent());
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

TEST_F(GroupTreeTest, RenameInPlaceStoresTheNameEndedWithEnter) {
    AddGroup(1, 0, "华东");
    AddGroup(2, 1, "上海");
    AddGroup(3, 2, "浦东");
    OpenMainWindow();
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
    // Quotes and the batch separator are names like any other.
    tab->tv1Edited(Node("浦东"), "O'Neil \"@#@\" ]");
    EXPECT_EQ(
        ExecScalarSql("select count(*) from CustomerType where TypeName = ?", {"O'Neil \"@#@\" ]"}),
        1);
}

TEST_F(GroupTreeTest, ThePickerGivesTheRootAsUngroupedAndAsksForAName) {
    AddGroup(1, 0, "华东");
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
