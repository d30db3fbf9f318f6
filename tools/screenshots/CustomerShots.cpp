#include "CustomerShots.h"

#include "app/FormMain.h"
#include "controls/FormViewCustomerType.h"
#include "customers/CustomerTab.h"
#include "customers/FieldControls.h"
#include "customers/FormCustomer.h"
#include "customers/GroupTable.h"
#include "data/DbAccess.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

void AddField(const QString& name, int kind, const QString& values, bool required, bool unique) {
    ExecSql(QList<SqlStatement>{
        {"alter table Customer add " + QuoteIdent(name) + " varchar(100)", {}},
        {"insert into AppTitle(TitleName, TitleType, TitleValues, Titlebt, Titlewy) "
         "values (?, ?, ?, ?, ?)",
         {name, kind, values, required ? -1 : 0, unique ? -1 : 0}}});
}

void AddCustomer(const QString& guid, int group, const QString& name, const QString& tel,
                 const QStringList& values) {
    ExecSql(QList<SqlStatement>{
        {"insert into Customer(GUID, TypeID, 姓名, 手机号码, 会员卡号, 客户类型, 所在城市, 生日, "
         "消费金额, 备注) values (?,?,?,?,?,?,?,?,?,?)",
         QVariantList{guid, group, name, tel} + QVariantList(values.begin(), values.end())}});
}

} // namespace

void FillCustomerSamples() {
    if (!DbAccess().Connect())
        return;
    ExecSql("insert into CustomerType values (1, 0, '老客户')@#@"
            "insert into CustomerType values (2, 1, '华东')@#@"
            "insert into CustomerType values (3, 0, '新客户')");
    AddField("会员卡号", 0, QString(), true, true);
    AddField("客户类型", 1, "零售%#%批发%#%代理%#%", false, false);
    AddField("所在城市", 2, QString(), true, false);
    AddField("生日", 3, "date()", false, true);
    AddField("消费金额", 4, "0", false, false);
    AddCustomer("S1", 1, "张三", "13800138000",
                {"V0001", "零售", "杭州", "1985-04-12", "1280.5", "每月来店"});
    AddCustomer("S2", 1, "李四", "13912345678", {"V0002", "批发", "上海", "1979-11-02", "860", ""});
    AddCustomer("S3", 2, "王五", "13700001111",
                {"V0003", "代理", "宁波", "1990-01-20", "45.25", ""});
    AddCustomer("S4", 0, "赵六", "", {"V0004", "零售", "杭州", "1995-07-08", "待定", "未留号码"});
    DbAccess().Disconnect();
}

void ShootCustomers(TFormMain& form, const SaveShot& save) {
    TCustomerTab& tab = *form.customers;
    for (QTreeWidgetItemIterator it(tab.tv1); *it; ++it)
        if ((*it)->text(0) == QStringLiteral("老客户"))
            tab.tv1->setCurrentItem(*it);
    tab.tv1->expandAll();
    tab.btnQueryClick();
    form.pgc1->setCurrentIndex(0);
    save(form, "customers-group");
    tab.tv1->setCurrentItem(tab.tv1->topLevelItem(0));
    tab.btnQueryClick();

    TFormAddCustomer editor;
    editor.SetGroup(1, QStringLiteral("老客户"));
    editor.edtName->setText(QStringLiteral("钱七"));
    editor.edtTel->setText(QStringLiteral("13600002222"));
    editor.mmoRemark->setPlainText(QStringLiteral("朋友介绍"));
    editor.show();
    save(editor, "customer-editor");
    editor.hide();

    TFormViewCustomerType picker(CustomerGroups());
    picker.tv1->expandAll();
    picker.show();
    save(picker, "group-picker");
    picker.hide();
}
