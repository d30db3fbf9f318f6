#include "customers/CustomersTestSupport.h"

#include "app/StartUp.h"
#include "data/DbAccess.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

void CustomersTest::SetUp() {
    AppDirTest::SetUp();
    ASSERT_TRUE(DbAccess().Connect());
}

void CustomersTest::TearDown() {
    form.reset();
    DbAccess().Disconnect();
    AppDirTest::TearDown();
}

void CustomersTest::OpenMainWindow() {
    form = CreateMainWindow();
    ASSERT_NE(form, nullptr);
    form->show();
    tab = form->customers;
}

void CustomersTest::AddField(const QString& name, int kind, const QString& values, bool required,
                             bool unique) {
    ExecSql(QList<SqlStatement>{
        {"alter table Customer add " + QuoteIdent(name) + " varchar(100)", {}},
        {"insert into AppTitle(TitleName, TitleType, TitleValues, Titlebt, Titlewy) "
         "values (?, ?, ?, ?, ?)",
         {name, kind, values, required ? -1 : 0, unique ? -1 : 0}}});
}

void CustomersTest::AddCustomer(const QString& guid, int group, const QString& name,
                                const QString& tel, const QVariantList& custom,
                                const QStringList& fields) {
    QString columns = "GUID, TypeID, 姓名, 手机号码";
    QString marks = "?, ?, ?, ?";
    for (const QString& field : fields) {
        columns += ", " + QuoteIdent(field);
        marks += ", ?";
    }
    ExecSql(QList<SqlStatement>{{"insert into Customer(" + columns + ") values (" + marks + ")",
                                 QVariantList{guid, group, name, tel} + custom}});
}

void CustomersTest::AddGroup(int self, int parent, const QString& name) {
    ExecSql(QList<SqlStatement>{
        {"insert into CustomerType(SelfIndex, ParentIndex, TypeName) values (?, ?, ?)",
         {self, parent, name}}});
}

QTreeWidgetItem* CustomersTest::Node(const QString& text) const {
    for (QTreeWidgetItemIterator it(tab->tv1); *it; ++it)
        if ((*it)->text(0) == text)
            return *it;
    return nullptr;
}

QStringList CustomersTest::Column(const QString& field) const {
    return Column(DbAccess().GridSet(), field);
}

QStringList CustomersTest::Column(const TDataSet& list, const QString& field) {
    QStringList texts;
    const int index = list.FieldIndex(field);
    for (int row = 0; index >= 0 && row < list.RecordCount(); ++row)
        texts << VariantToText(list.ValueAt(row, index));
    return texts;
}
