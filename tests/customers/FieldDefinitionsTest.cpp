#include "customers/FieldDefinitions.h"
#include "app/FormMain.h"
#include "customers/CustomersTestSupport.h"
#include "customers/FieldControls.h"
#include "customers/FormCustomer.h"
#include "customers/FormCustomerDIY.h"
#include "customers/FormTitle.h"
#include "data/DbAccess.h"
#include "ui/ExceptionHandler.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

namespace {

class FieldDefinitionsTest : public CustomersTest {
protected:
    void SetUp() override {
        CustomersTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    }
    void TearDown() override {
        QLocale::setDefault(QLocale::system());
        CustomersTest::TearDown();
    }

    // Runs a command as a button does; the text of the box it showed, empty for none.
    QString Run(const std::function<void()>& command) {
        boxes.shown.clear();
        RunHandled(nullptr, command);
        return boxes.shown.isEmpty() ? QString() : boxes.Last().text;
    }

    // Presses OK on the editor.
    QString Ok(TFormBaseTitle& editor) {
        return Run([&] {
            if (auto* add = qobject_cast<TFormAddTitle*>(&editor))
                add->btnOKClick();
            else
                static_cast<TFormModTitle&>(editor).btnOKClick();
        });
    }

    // Chooses an item as the user does, also the one already shown.
    static void Choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    QString Add(const QString& name, int kind,
                const std::function<void(TFormAddTitle&)>& fill = {}) {
        TFormAddTitle editor;
        editor.edtName->setText(name);
        Choose(editor.cbbType, kind);
        if (fill)
            fill(editor);
        return Ok(editor);
    }

    // Every definition as "name|kind|values|required|unique".
    QStringList Definitions() {
        QStringList rows;
        for (TDataSet& row = DbAccess().OpenQuery(
                 "select TitleName,TitleType,TitleValues,Titlebt,Titlewy from AppTitle");
             !row.Eof(); row.Next())
            rows << QStringList{row.AsString(0), row.AsString(1), row.AsString(2), row.AsString(3),
                                row.AsString(4)}
                        .join('|');
        return rows;
    }

    QStringList Columns() {
        QStringList names;
        for (TDataSet& row = DbAccess().OpenQuery("select name from pragma_table_info('Customer')");
             !row.Eof(); row.Next())
            names << row.AsString(0);
        return names;
    }

    // Customers G000, G001 ... with the text field's value prefix + n and the amount n.
    void AddCustomers(int count, const QString& textField, const QString& prefix) {
        QList<SqlStatement> rows;
        for (int i = 0; i < count; ++i)
            rows.append({"insert into Customer(GUID, 姓名, " + QuoteIdent(textField) +
                             ", 金额) values (?, ?, ?, ?)",
                         {QString("G%1").arg(i, 3, 10, QChar('0')), QString("客户%1").arg(i),
                          prefix + QString::number(i), QString::number(i)}});
        ExecSql(rows);
    }

    QStringList Values(const QString& column) {
        QStringList values;
        for (TDataSet& row = DbAccess().OpenQuery("select ifnull(" + QuoteIdent(column) +
                                                  ", '<null>') from Customer order by GUID");
             !row.Eof(); row.Next())
            values << row.AsString(0);
        return values;
    }
};

const QStringList kFixedColumns{"GUID", "TypeID", "姓名", "手机号码", "备注", "新建时间"};

TEST_F(FieldDefinitionsTest, EachKindStoresItsDefaultTextAndAddsItsColumn) {
    EXPECT_EQ(Add("a'\"]@#@%#%", 0,
                  [](TFormAddTitle& e) {
                      e.edtmrz->setText("x'\"]@#@%#%");
                      e.chkbt->setChecked(true);
                  }),
              "");
    EXPECT_EQ(Add("下拉", 1, [](TFormAddTitle& e) { e.mmomrz->setPlainText("A\n\nB"); }), "");
    EXPECT_EQ(Add("空下拉", 1), "");
    EXPECT_EQ(Add("记忆", 2, [](TFormAddTitle& e) { e.chkwy->setChecked(true); }), "");
    EXPECT_EQ(Add("今天", 3), "");
    EXPECT_EQ(Add("生日", 3,
                  [](TFormAddTitle& e) {
                      Choose(e.cbbsj, 1);
                      e.DBDate->setDate(QDate(2024, 5, 6));
                  }),
              "");
    EXPECT_EQ(Add("金额", 4, [](TFormAddTitle& e) { e.edtmrz->setText("12.5"); }), "");

    EXPECT_EQ(Definitions(),
              (QStringList{"a'\"]@#@%#%|0|x'\"]@#@%#%|-1|0", "下拉|1|A%#%%#%B%#%|0|0",
                           "空下拉|1||0|0", "记忆|2||0|-1", "今天|3|date()|0|0",
                           "生日|3|2024/5/6|0|0", "金额|4|12.5|0|0"}));
    EXPECT_EQ(Columns(), (kFixedColumns + QStringList{"a'\"]@#@%#%", "下拉", "空下拉", "记忆",
                                                      "今天", "生日", "金额"}));
    // The column takes at most 100 characters.
    EXPECT_THROW(ExecSql(QList<SqlStatement>{
                     {"insert into Customer(GUID, 金额) values ('G', ?)", {QString(101, 'x')}}}),
                 EDBException);

    // Loaded back, each kind shows its default in its own editor.
    TFormModTitle date;
    date.LoadTitle("生日");
    EXPECT_EQ(date.cbbsj->currentText(), "自定义");
    EXPECT_EQ(date.DBDate->date(), QDate(2024, 5, 6));
    EXPECT_FALSE(date.DBDate->isHidden());
    TFormModTitle today;
    today.LoadTitle("今天");
    EXPECT_EQ(today.cbbsj->currentText(), "当前时间");
    EXPECT_TRUE(today.DBDate->isHidden());
    TFormModTitle pick;
    pick.LoadTitle("下拉");
    EXPECT_EQ(pick.mmomrz->toPlainText(), "A\n\nB");
    EXPECT_EQ(pick.cbbType->currentText(), "标准下拉框");
    // An empty last preset is kept through loading and saving.
    AddField("尾空", 1, "A%#%%#%");
    TFormModTitle trailing;
    trailing.LoadTitle("尾空");
    EXPECT_EQ(Ok(trailing), "");
    EXPECT_EQ(Definitions().last(), "尾空|1|A%#%%#%|0|0");
    TFormModTitle text;
    text.LoadTitle("a'\"]@#@%#%");
    EXPECT_EQ(text.edtmrz->text(), "x'\"]@#@%#%");
    EXPECT_TRUE(text.chkbt->isChecked());
    EXPECT_FALSE(text.chkwy->isChecked());
    // The customer editor reads the fixed date back.
    TFormAddCustomer customer;
    EXPECT_EQ(customer.pnlFields->findChild<QDateEdit*>("Ctrl6")->date(), QDate(2024, 5, 6));
}

TEST_F(FieldDefinitionsTest, EachKindShowsItsHelpAndItsDefaultEditor) {
    const QStringList help{"可以输入基本文字信息，可在默认值里设置预先定义的文本信息",
                           "可以从预先定义的默认值里选择一个选项，同时也可以直接输入文字信息",
                           "可以记住并选择之前输入过的内容，同时也可以直接输入文字信息",
                           "可以选择日期信息，也可以预先设置一个默认日期",
                           "只可以输入数字信息，并可以在浏览信息的内容时自动汇总该字段"};
    TFormAddTitle editor;
    editor.show();
    EXPECT_EQ(editor.windowTitle(), "新建客户资料");
    EXPECT_EQ(editor.mmo1->toPlainText(), help[0]);
    const QString visible[] = {"edtmrz", "mmomrz", "", "cbbsj", "edtmrz"};
    for (int kind : {1, 2, 3, 4, 0}) {
        editor.edtmrz->setText("old");
        Choose(editor.cbbType, kind);
        EXPECT_EQ(editor.mmo1->toPlainText(), help[kind]) << kind;
        EXPECT_EQ(editor.edtmrz->isVisible(), visible[kind] == "edtmrz") << kind;
        EXPECT_EQ(editor.mmomrz->isVisible(), visible[kind] == "mmomrz") << kind;
        EXPECT_EQ(editor.cbbsj->isVisible(), visible[kind] == "cbbsj") << kind;
        EXPECT_EQ(editor.labDefault->isVisible(), kind != 2) << kind;
        EXPECT_FALSE(editor.DBDate->isVisible());
        EXPECT_EQ(editor.edtmrz->text(), "");
    }
    Choose(editor.cbbType, 3);
    Choose(editor.cbbsj, 1);
    EXPECT_TRUE(editor.DBDate->isVisible());
    Choose(editor.cbbsj, 0);
    EXPECT_FALSE(editor.DBDate->isVisible());
    // Back on the date kind, the date picker follows the choice kept in cbbsj.
    Choose(editor.cbbsj, 1);
    Choose(editor.cbbType, 0);
    EXPECT_FALSE(editor.DBDate->isVisible());
    Choose(editor.cbbType, 3);
    EXPECT_EQ(editor.cbbsj->currentText(), "自定义");
    EXPECT_TRUE(editor.DBDate->isVisible());
    Choose(editor.cbbsj, 1);
    EXPECT_TRUE(editor.DBDate->isVisible());
}

TEST_F(FieldDefinitionsTest, RefusedNamesStoreNothing) {
    AddField("城市", 0);
    const QStringList before = Definitions();
    const QStringList columns = Columns();

    EXPECT_EQ(Add("  ", 0), "标题名不能为空！");
    EXPECT_EQ(boxes.Last().caption, "提示");
    EXPECT_EQ(Add("姓名", 0), "标题名称不能填 姓名！");
    EXPECT_EQ(boxes.Last().caption, "错误");
    EXPECT_EQ(Add("所属分组", 0), "标题名称不能填  所属分组！");
    EXPECT_EQ(Add("手机号码", 0), "标题名称不能填  手机号码！");
    EXPECT_EQ(Add("新建时间", 0), "标题名称不能填  新建时间！");
    EXPECT_EQ(Add("备注", 0), "标题名称不能填  备注！");
    EXPECT_EQ(Add("城市", 0), "标题名称不能重复！");
    EXPECT_EQ(Add(" 备注", 0), "标题名称不能填  备注！");
    EXPECT_EQ(Add("新建时间 ", 0), "标题名称不能填  新建时间！");
    for (const QString& name : QStringList{"guid", "TYPEID"})
        EXPECT_TRUE(Add(name, 0).startsWith("数据库操作失败！")) << name.toStdString();
    // Renaming onto another field's name, or onto a fixed column, changes nothing either.
    AddField("地区", 0);
    AddCustomer("G1", 0, "甲", "1", {"北京", "华北"}, {"城市", "地区"});
    for (const QString& name : QStringList{"地区", "Guid"}) {
        TFormModTitle editor;
        editor.LoadTitle("城市");
        editor.edtName->setText(name);
        EXPECT_TRUE(Ok(editor).startsWith("数据库操作失败！")) << name.toStdString();
    }
    // A step failing in the middle of a rename undoes the steps before it.
    ExecSql("create index CityIndex on Customer(城市)");
    TFormModTitle editor;
    editor.LoadTitle("城市");
    editor.edtName->setText("省份");
    EXPECT_TRUE(Ok(editor).startsWith("数据库操作失败！"));
    EXPECT_EQ(Definitions(), (before + QStringList{"地区|0||0|0"}));
    EXPECT_EQ(Columns(), (columns + QStringList{"地区"}));
    EXPECT_EQ(Values("城市"), QStringList{"北京"});
}

TEST_F(FieldDefinitionsTest, TheTrimmedNameMeetsEveryRuleAndDefaultsFitTheColumn) {
    AddField("Abc", 0);
    const auto add = [&](const QString& name, int kind, const QString& values = QString()) {
        return Run([&] { AddTitle({name, values, kind}); });
    };
    EXPECT_EQ(add(" 所属分组", 0), "标题名称不能填  所属分组！");
    EXPECT_EQ(add("aBC", 0), "标题名称不能重复！");
    EXPECT_EQ(add(" ABC\t", 0), "标题名称不能重复！");
    EXPECT_EQ(add("一二三四五六七八九十一", 0), "标题名称不能超过10个字符！");
    const QString tooLong = "默认值不能超过100个字符！";
    EXPECT_EQ(add("文本", 0, QString(101, 'x')), tooLong);
    EXPECT_EQ(add("金额", 4, QString(101, '1')), tooLong);
    EXPECT_EQ(add("下拉", 1, "A%#%" + QString(101, 'x') + "%#%"), tooLong);
    EXPECT_EQ(Run([&] { ModifyTitle("Abc", {"Abc", QString(101, 'x'), 0}); }), tooLong);
    EXPECT_EQ(Run([&] { ModifyTitle("Abc", {"备注 ", QString(), 0}); }), "标题名称不能填  备注！");
    EXPECT_EQ(Definitions(), QStringList{"Abc|0||0|0"});

    // The column counts a character beyond 16 bits as one, as the check does.
    const QString wide = QStringLiteral("😀").repeated(100);
    EXPECT_EQ(add(" 表情 ", 0, wide), "");
    EXPECT_EQ(add("选项", 1, "A%#%" + wide + "%#%"), "");
    EXPECT_EQ(Definitions().mid(1),
              (QStringList{"表情|0|" + wide + "|0|0", "选项|1|A%#%" + wide + "%#%|0|0"}));
    ExecSql(QList<SqlStatement>{
        {"insert into Customer(GUID, 表情, 选项) values ('G', ?, ?)", {wide, wide}}});
    EXPECT_EQ(Values("表情"), QStringList{wide});
}

TEST_F(FieldDefinitionsTest, RenameKeepsEveryValueAndAKindChangeKeepsTheColumn) {
    AddField("城市", 0, "北京");
    AddField("金额", 4);
    AddCustomers(30, "城市", "城");
    const QStringList cities = Values("城市");

    TFormModTitle rename;
    rename.LoadTitle("城市");
    EXPECT_EQ(rename.windowTitle(), "修改客户资料");
    rename.edtName->setText("地区");
    rename.chkbt->setChecked(true);
    EXPECT_EQ(Ok(rename), "");
    EXPECT_EQ(rename.result(), QDialog::Accepted);
    EXPECT_EQ(Columns(), (kFixedColumns + QStringList{"金额", "地区"}));
    EXPECT_EQ(Values("地区"), cities);
    EXPECT_EQ(Definitions(), (QStringList{"地区|0|北京|-1|0", "金额|4||0|0"}));

    TFormModTitle kind;
    kind.LoadTitle("地区");
    kind.cbbType->setCurrentIndex(3);
    EXPECT_EQ(Ok(kind), "");
    EXPECT_EQ(Columns(), (kFixedColumns + QStringList{"金额", "地区"}));
    EXPECT_EQ(Values("地区"), cities);
    EXPECT_EQ(Definitions().first(), "地区|3|date()|-1|0");

    // A change of letter case only renames the column in place.
    TFormModTitle letters;
    letters.LoadTitle("金额");
    letters.edtName->setText("金额X");
    EXPECT_EQ(Ok(letters), "");
    TFormModTitle back;
    back.LoadTitle("金额X");
    back.edtName->setText("金额x");
    EXPECT_EQ(Ok(back), "");
    EXPECT_EQ(Columns(), (kFixedColumns + QStringList{"地区", "金额x"}));
    EXPECT_EQ(Values("金额x").size(), 30);
    EXPECT_EQ(Values("金额x").last(), "29");
}

TEST_F(FieldDefinitionsTest, TheListShowsKindsAndFlagsAndDropsOnlyAfterYes) {
    AddField("文本", 0, "默认", true);
    AddField("下拉", 1, "A%#%B%#%", false, true);
    AddField("记忆", 2);
    AddField("日期", 3, "date()", true, true);
    AddField("金额", 4, "0");
    AddCustomers(100, "文本", "t");
    const QStringList names = Values("姓名");
    const QStringList texts = Values("文本");

    TFormCustomerDIY list;
    list.show();
    ASSERT_EQ(list.lvTitle->topLevelItemCount(), 5);
    QStringList rows;
    for (int row = 0; row < 5; ++row) {
        QStringList cells;
        for (int column = 0; column < 5; ++column)
            cells << list.lvTitle->topLevelItem(row)->text(column);
        rows << cells.join('|');
    }
    EXPECT_EQ(rows, (QStringList{"文本|标准文本框|默认|是|否", "下拉|标准下拉框|A%#%B%#%|否|是",
                                 "记忆|记忆下拉框||否|否", "日期|日期选择框|date()|是|是",
                                 "金额|数字文本框|0|否|否"}));

    list.btnButDelTitleClick(); // nothing selected: nothing asked
    EXPECT_TRUE(boxes.shown.isEmpty());
    list.lvTitle->topLevelItem(4)->setSelected(true);
    list.btnButDelTitleClick(); // answered No
    EXPECT_EQ(boxes.Last().text, "真的删除 金额 标题吗?你做的操作将无法还原！");
    EXPECT_EQ(Values("金额").last(), "99");
    EXPECT_FALSE(list.Changed);
    boxes.AnswerNext(true);
    list.btnButDelTitleClick();
    EXPECT_EQ(Columns(), (kFixedColumns + QStringList{"文本", "下拉", "记忆", "日期"}));
    EXPECT_EQ(Definitions().size(), 4);
    EXPECT_EQ(list.lvTitle->topLevelItemCount(), 4);
    EXPECT_EQ(Values("姓名"), names);
    EXPECT_EQ(Values("文本"), texts);
    EXPECT_TRUE(list.Changed);
}

TEST_F(FieldDefinitionsTest, ClosingAfterAChangeReloadsTheGridWithTheNewColumns) {
    AddField("城市", 0);
    OpenMainWindow();
    QSignalSpy reloaded(form.get(), &TFormMain::CustomerListReloaded);
    const QStringList searchable{"姓名", "手机号码", "城市"};

    WhenModal(
        [](QWidget* dialog) { static_cast<TFormCustomerDIY*>(dialog)->btnButClose->click(); });
    form->N10->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(reloaded.count(), 0);

    WhenModal([](QWidget* dialog) {
        auto* list = qobject_cast<TFormCustomerDIY*>(dialog);
        ASSERT_NE(list, nullptr);
        WhenModal([](QWidget* editor) {
            auto* add = qobject_cast<TFormAddTitle*>(editor);
            ASSERT_NE(add, nullptr);
            add->edtName->setText("金额");
            add->cbbType->setCurrentIndex(4);
            add->btnOK->click();
        });
        list->btnButAddTitle->click();
        EXPECT_EQ(list->lvTitle->topLevelItemCount(), 2);
        list->close();
    });
    form->N10->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(reloaded.count(), 1);
    const TDataSet& grid = DbAccess().GridSet();
    EXPECT_GE(grid.FieldIndex("金额"), 0);
    EXPECT_GE(grid.FieldIndex("城市"), 0);
    QStringList items;
    for (int i = 0; i < tab->cbbQuery->count(); ++i)
        items << tab->cbbQuery->itemText(i);
    EXPECT_EQ(items, searchable);
}

TEST_F(FieldDefinitionsTest, ThePreviewBuildsTheEditorsControls) {
    AddField("文本", 0, "默认", true);
    AddField("下拉", 1, "A%#%B%#%", false, true);
    AddField("日期", 3, "2020-01-02");
    AddField("金额", 4, "7", true, true);
    auto describe = [](QWidget* panel) {
        QStringList controls;
        for (QWidget* child : panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            controls << QStringList{child->objectName(),
                                    child->metaObject()->className(),
                                    FieldValue(child),
                                    child->palette().color(QPalette::Base).name(),
                                    QString::number(child->x()),
                                    QString::number(child->y())}
                            .join('|');
        return controls;
    };
    TFormAddCustomer customer;
    QStringList preview;
    QString caption;
    WhenModal([&](QWidget* dialog) {
        auto* window = qobject_cast<TFormBaseDIY*>(dialog);
        ASSERT_NE(window, nullptr);
        caption = window->windowTitle() + "|" + window->btnCancel->text() +
                  (window->btnOK->isVisible() ? "|OK" : "");
        preview = describe(window->pnlFields);
        window->reject();
    });
    ShowFieldPreview();
    EXPECT_EQ(caption, "预览 客户资料|关闭(&C)");
    EXPECT_EQ(preview.size(), 8);
    EXPECT_EQ(preview, describe(customer.pnlFields));
}

} // namespace
