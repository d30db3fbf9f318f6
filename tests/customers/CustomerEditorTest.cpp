#include "controls/VoskEdtBut.h"
#include "controls/VoskFloatIntEdit.h"
#include "customers/CustomersTestSupport.h"
#include "customers/FieldControls.h"
#include "customers/FormCustomer.h"
#include "data/DbAccess.h"
#include "ui/ExceptionHandler.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollArea>

namespace {

class CustomerEditorTest : public CustomersTest {
protected:
    template <typename Control> Control* Field(TFormBaseCustomer& form, int number) {
        return form.pnlFields->findChild<Control*>(QStringLiteral("Ctrl%1").arg(number));
    }

    QString Ok(TFormBaseCustomer& form) {
        boxes.shown.clear();
        RunHandled(nullptr, [&] {
            if (auto* add = qobject_cast<TFormAddCustomer*>(&form))
                add->btnOKClick();
            else
                static_cast<TFormModCustomer&>(form).btnOKClick();
        });
        return boxes.shown.isEmpty() ? QString() : boxes.Last().text;
    }

    QString Stored(const QString& guid, const QString& column) {
        TDataSet& row = DbAccess().OpenQuery(
            "select " + QuoteIdent(column) + " from Customer where GUID = ?", {guid});
        return row.Eof() ? QStringLiteral("<none>") : row.AsString(0);
    }
};

TEST_F(CustomerEditorTest, TheFiveKindsWithTheirDefaultsPresetsAndColours) {
    AddField("文本", 0, "默认", true);
    AddField("下拉", 1, "A%#%%#%B%#%", false, true);
    AddField("记忆", 2, QString(), true, true);
    AddField("日期", 3, "date()");
    AddField("金额", 4, "1.5");
    AddField("生日", 3, "1990-02-03");
    AddCustomer("G1", 0, "甲", "1", {"北京"}, {"记忆"});
    AddCustomer("G2", 0, "乙", "2", {"上海"}, {"记忆"});
    AddCustomer("G3", 0, "丙", "3");

    TFormAddCustomer form;
    EXPECT_TRUE(
        form.Guid.contains(QRegularExpression("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$")));
    EXPECT_EQ(Field<QLineEdit>(form, 1)->text(), "默认");
    EXPECT_EQ(Field<QLineEdit>(form, 1)->palette().color(QPalette::Base), QColor(248, 242, 139));
    auto* pick = Field<QComboBox>(form, 2);
    ASSERT_EQ(pick->count(), 3);
    EXPECT_EQ(pick->itemText(0) + "|" + pick->itemText(1) + "|" + pick->itemText(2), "A||B");
    EXPECT_EQ(pick->currentText(), "A");
    EXPECT_EQ(pick->palette().color(QPalette::Base), QColor(137, 239, 234));
    auto* memory = Field<QComboBox>(form, 3);
    QStringList remembered;
    for (int i = 0; i < memory->count(); ++i)
        remembered << memory->itemText(i);
    remembered.sort();
    EXPECT_EQ(remembered, (QStringList{"", "上海", "北京"}));
    EXPECT_EQ(memory->palette().color(QPalette::Base), QColor(254, 189, 177));
    EXPECT_EQ(Field<QDateEdit>(form, 4)->date(), clock.now.date());
    EXPECT_EQ(Field<QDateEdit>(form, 6)->date(), QDate(1990, 2, 3));
    auto* amount = Field<TVoskFloatIntEdit>(form, 5);
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->text(), "1.5");
    EXPECT_EQ(amount->TextType(), TVoskFloatIntEdit::FloatText);
    EXPECT_EQ(FieldName(amount), "金额");
    // Rows of three: the fourth field starts the second row.
    auto* fourth = form.pnlFields->findChild<QLabel*>("Label4");
    EXPECT_EQ(fourth->text(), "日期");
    EXPECT_EQ(fourth->geometry().topLeft(), QPoint(2, 20 + 38 + 2));
    EXPECT_EQ(Field<QDateEdit>(form, 5 - 1)->geometry().topLeft(), QPoint(2 + 78, 20 + 38));
}

TEST_F(CustomerEditorTest, OkStoresWhatTheControlsHoldOrShowsTheRefusal) {
    AddField("会员号", 0, QString(), true, true);
    AddField("生日", 3, QString(), false, true);
    TFormAddCustomer form;
    form.SetGroup(0, "未分组");
    const QString typed = "O'Neil \"@#@\" ]\n二行 %_";
    form.edtName->setText(typed);
    form.edtTel->setText("139 0000");
    form.mmoRemark->setPlainText(typed);

    EXPECT_EQ(Ok(form), "会员号不能为空！");
    EXPECT_EQ(form.edtName->text(), typed);
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer"), 0);

    Field<QLineEdit>(form, 1)->setText(" "); // a blank is a value
    Field<QDateEdit>(form, 2)->setDate(QDate(2001, 2, 3));
    EXPECT_EQ(Ok(form), QString());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Stored(form.Guid, "姓名"), typed);
    EXPECT_EQ(Stored(form.Guid, "手机号码"), "139 0000");
    EXPECT_EQ(Stored(form.Guid, "备注"), typed);
    EXPECT_EQ(Stored(form.Guid, "会员号"), " ");
    EXPECT_EQ(Stored(form.Guid, "生日"), "2001-02-03");
}

TEST_F(CustomerEditorTest, ChangeShowsTheStoredCustomerAndRepairsADateThatIsNone) {
    AddGroup(5, 0, "老客户");
    AddField("会员号", 0, QString(), false, true);
    AddField("生日", 3);
    AddCustomer("ME", 5, "我", "1", {" M1 ", "不是日期"}, {"会员号", "生日"});
    TFormModCustomer form;
    form.Guid = "ME";
    form.show();
    EXPECT_EQ(form.EdtGoup->text(), "老客户");
    EXPECT_EQ(form.TypeID, 5);
    EXPECT_EQ(form.edtName->text(), "我");
    EXPECT_EQ(Field<QLineEdit>(form, 1)->text(), "M1");
    EXPECT_EQ(Field<QDateEdit>(form, 2)->date(), clock.now.date());

    form.SetGroup(0, "未分组");
    EXPECT_EQ(Ok(form), QString());
    EXPECT_EQ(Stored("ME", "会员号"), "M1");
    EXPECT_EQ(Stored("ME", "生日"), clock.now.date().toString("yyyy-MM-dd"));
    EXPECT_EQ(Stored("ME", "TypeID"), "0");
}

TEST_F(CustomerEditorTest, AFailingStatementChangesNothingAndKeepsTheDialogOpen) {
    // A definition whose column the file lacks.
    ExecSql("insert into AppTitle(TitleName, TitleType) values ('缺列', 0)");
    TFormAddCustomer form;
    form.edtName->setText("张三");
    form.show();
    Ok(form);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.Last().text.startsWith("数据库操作失败！"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.edtName->text(), "张三");
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer"), 0);
}

TEST_F(CustomerEditorTest, MoreThanFifteenFieldsScrollInTheFieldArea) {
    for (int i = 1; i <= 17; ++i)
        AddField(QStringLiteral("字段%1").arg(i), 0);
    TFormAddCustomer form;
    auto* sixteenth = Field<QLineEdit>(form, 16);
    ASSERT_NE(sixteenth, nullptr);
    EXPECT_EQ(sixteenth->geometry().top(), 20 + 38 * 5);
    EXPECT_EQ(form.pnlDIY->size(), QSize(624, 208));
    EXPECT_GT(form.pnlFields->minimumHeight(), form.pnlDIY->height());
    EXPECT_EQ(FieldControls(form.pnlFields).size(), 17);
}

} // namespace
