#include "customers/Customer.h"
#include "customers/CustomersTestSupport.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "sms/SmsGateway.h"

namespace {

class CustomerManagerTest : public CustomersTest {
protected:
    // A column of the customer list of the group under the search.
    QStringList Listed(int group, const QString& field = QString(), const QString& text = QString(),
                       const QString& column = "GUID") {
        const SqlStatement list = Customer().ListStatement(group, field, text);
        return Column(DbAccess().OpenQuery(list.sql, list.params), column);
    }

    QString Stored(const QString& guid, const QString& column) {
        TDataSet& row = DbAccess().OpenQuery(
            "select " + QuoteIdent(column) + " from Customer where GUID = ?", {guid});
        return row.Eof() ? QStringLiteral("<none>") : row.AsString(0);
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

    static TCustomerRecord Record(const QString& guid, const QList<TFieldValue>& fields) {
        TCustomerRecord customer;
        customer.Guid = guid;
        customer.Fields = fields;
        return customer;
    }
};

TEST_F(CustomerManagerTest, TheListFiltersByGroupAndSearchInCreationOrder) {
    AddGroup(1, 0, "老客户");
    AddField("城市", 0);
    const QString insert =
        "insert into Customer(GUID, TypeID, 姓名, 手机号码, 城市, 新建时间) values (?,?,?,?,?,?)";
    ExecSql(QList<SqlStatement>{
        {insert, {"G3", 1, "c'3\"@#@]", "13900", "O'Hara", "2024-01-02 08:00:00"}},
        {insert, {"G1", 0, "a_1", "13800", "北京", "2024-01-01 08:00:00"}},
        {insert, {"G2", 1, "b%2", "13911", "Shanghai", "2024-01-02 08:00:00"}},
        {insert, {"G4", 42, "无组", "139", "", "2024-01-01 07:00:00"}}});
    EXPECT_EQ(Listed(0), (QStringList{"G4", "G1", "G3", "G2"}));
    // A customer whose group row is gone is listed as ungrouped.
    EXPECT_EQ(Listed(0, "", "", "所属分组"), (QStringList{"未分组", "未分组", "老客户", "老客户"}));
    EXPECT_EQ(Listed(0, "", "", "姓名").at(2), "c'3\"@#@]");
    EXPECT_EQ(Listed(1), (QStringList{"G3", "G2"}));
    EXPECT_EQ(Listed(1, "城市", "o'h"), QStringList{"G3"});
    EXPECT_EQ(Listed(1, "城市", "SHANG"), QStringList{"G2"});
    EXPECT_EQ(Listed(0, "手机号码", "139"), (QStringList{"G4", "G3", "G2"}));
    EXPECT_EQ(Listed(0, "姓名", "_"), (QStringList{"G4", "G1", "G3", "G2"})); // _ keeps its meaning
    EXPECT_EQ(Listed(0, "姓名", "   "), (QStringList{"G4", "G1", "G3", "G2"}));
}

TEST_F(CustomerManagerTest, CustomFieldsNamedLikeGroupColumnsAreListedSearchedAndTotalled) {
    AddGroup(1, 0, "老客户");
    const QStringList fields{"TypeName", "selfindex", "ParentIndex"};
    AddField(fields[0], 0);
    AddField(fields[1], 4);
    AddField(fields[2], 0);
    AddCustomer("G1", 1, "张三", "139", {"甲类", "2", "p"}, fields);
    AddCustomer("G2", 1, "李四", "138", {"乙类", "3", "q"}, fields);
    EXPECT_EQ(Listed(0, "", "", "所属分组"), (QStringList{"老客户", "老客户"}));
    EXPECT_EQ(Listed(0, "", "", "TypeName"), (QStringList{"甲类", "乙类"}));
    EXPECT_EQ(Listed(1, "TypeName", "乙"), QStringList{"G2"});
    const SqlStatement list = Customer().ListStatement(0, "", "");
    const QList<TFieldTotal> totals =
        Customer().Totals(DbAccess().OpenAuxQuery(list.sql, list.params));
    ASSERT_EQ(totals.size(), 1);
    EXPECT_EQ(totals[0].Name + "=" + totals[0].Amount, "selfindex=5");
}

TEST_F(CustomerManagerTest, TotalsCountTextsThatAreNoNumbersAsZeroAndKeepTheCurrentRow) {
    AddField("金额", 4);
    AddField("积分", 4);
    AddField("备用", 0);
    const QStringList fields{"金额", "积分", "备用"};
    AddCustomer("G1", 0, "甲", "1", {"12.5", "3", "9"}, fields);
    AddCustomer("G2", 0, "乙", "", {"", "12abc", "9"}, fields);
    AddCustomer("G3", 0, "丙", "3", {"abc", "-0.25", "9"}, fields);
    const auto totals = [&] {
        const SqlStatement statement = Customer().ListStatement(0, "", "");
        TDataSet& list = DbAccess().OpenAuxQuery(statement.sql, statement.params);
        list.MoveTo(1);
        QStringList texts;
        for (const TFieldTotal& total : Customer().Totals(list))
            texts << total.Name + "=" + total.Amount;
        texts << list.AsString(QStringLiteral("GUID"));
        return texts;
    };
    EXPECT_EQ(totals(), (QStringList{"金额=12.5", "积分=2.75", "G2"}));

    Customer().DeleteByGuid("G1");
    EXPECT_EQ(totals(), (QStringList{"金额=0", "积分=-0.25", "G3"}));
    const SqlStatement statement = Customer().ListStatement(0, "", "");
    QStringList numbers;
    for (const TSmsRecipient& customer :
         Customer().ListedRecipients(DbAccess().OpenQuery(statement.sql, statement.params)))
        numbers << customer.Name + ":" + customer.Number;
    EXPECT_EQ(numbers, QStringList{"丙:3"});
}

TEST_F(CustomerManagerTest, DeletingACustomerTakesItsFilesOnly) {
    AddCustomer("G1", 0, "甲", "1");
    AddCustomer("G2", 0, "乙", "2");
    ExecSql("insert into ConnFile(GUID, FileName) values ('G1', '/a'), ('G2', '/b')");
    Customer().DeleteByGuid("G2");
    EXPECT_EQ(Listed(0), QStringList{"G1"});
    EXPECT_EQ(ExecScalarSql("select count(*) from ConnFile where GUID = 'G1'"), 1);
    EXPECT_EQ(ExecScalarSql("select count(*) from ConnFile"), 1);
}

TEST_F(CustomerManagerTest, AddChecksRequiredAndUniqueThenStoresExactlyWhatWasGiven) {
    AddField("会员号", 0, QString(), true, true);
    AddField("生日", 3, QString(), false, true);
    AddCustomer("OLD", 0, "老", "1", {"M1", "2024-03-15"}, {"会员号", "生日"});
    TCustomerRecord customer = Record("NEW", {{"会员号", ""}, {"生日", "2024-03-15"}});
    const QString typed = "O'Neil \"@#@\" ]\n二行 %_";
    customer.Name = typed;
    customer.Tel = "139 0000";
    customer.Remark = typed;
    const auto add = [&] {
        Customer().Add(customer);
    };

    EXPECT_EQ(Refusal(add), "会员号不能为空！");
    customer.Fields[0].Value = "M1";
    EXPECT_EQ(Refusal(add), "标题名称 会员号 输入的信息 M1 已经存在，不能重复输入！");
    customer.Fields[0].Value = " "; // a blank is a value
    EXPECT_EQ(Refusal(add), "标题名称 生日 输入的信息 2024-03-15 已经存在，不能重复输入！");
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer"), 1);

    customer.Fields[1].Value = "2001-02-03";
    EXPECT_EQ(Refusal(add), QString());
    EXPECT_EQ(Stored("NEW", "姓名"), typed);
    EXPECT_EQ(Stored("NEW", "备注"), typed);
    EXPECT_EQ(Stored("NEW", "手机号码"), "139 0000");
    EXPECT_EQ(Stored("NEW", "会员号"), " ");
    EXPECT_EQ(Stored("NEW", "生日"), "2001-02-03");

    // An empty unique value counts like any other once a customer holds it.
    AddField("可空", 0, QString(), false, true);
    ExecSql("update Customer set 可空 = '' where GUID = 'OLD'");
    EXPECT_EQ(Refusal([&] {
                  Customer().Add(Record("N2", {{"可空", ""}}));
              }),
              "标题名称 可空 输入的信息  已经存在，不能重复输入！");
}

TEST_F(CustomerManagerTest, UniqueAndRememberedValuesFoldTheCaseOfLatinLettersOnly) {
    AddField("会员号", 0, QString(), false, true);
    AddField("城市", 2);
    AddCustomer("ME", 0, "我", "1", {"AB-Я1", "Beijing"}, {"会员号", "城市"});
    AddCustomer("YOU", 0, "你", "2", {"X", "BEIJING"}, {"会员号", "城市"});
    const auto check = [](const QString& value, const QString& guid, bool excludeSelf) {
        return Refusal([&] { Customer().CheckUniqueValue(value, "会员号", guid, excludeSelf); });
    };
    EXPECT_EQ(check("ab-Я1", QString(), false),
              "标题名称 会员号 输入的信息 ab-Я1 已经存在，不能重复输入！");
    EXPECT_EQ(check("Ab-я1", QString(), false), ""); // other letters count exactly
    EXPECT_NE(check("aB-Я1", "YOU", true), "");
    EXPECT_EQ(check("aB-Я1", "ME", true), "");
    EXPECT_EQ(Customer().StoredValues("城市").size(), 1);
}

TEST_F(CustomerManagerTest, ChangeLoadsTrimmedValuesAndKeepsItsOwnUniqueValue) {
    AddGroup(5, 0, "老客户");
    AddField("会员号", 0, QString(), false, true);
    AddField("生日", 3);
    AddCustomer("ME", 5, "我", "1", {" M1 ", "不是日期"}, {"会员号", "生日"});
    AddCustomer("YOU", 0, "你", "2", {"M2", "2020-01-01"}, {"会员号", "生日"});
    AddCustomer("LOST", 7, "旧版遗留", "137");
    TCustomerRecord me = Customer().LoadCustomer("ME");
    EXPECT_EQ(QString::number(me.TypeID) + me.TypeName, "5老客户");
    EXPECT_EQ(me.Field("会员号"), "M1");
    EXPECT_EQ(me.Field("生日"), "不是日期");
    const TCustomerRecord lost = Customer().LoadCustomer("LOST");
    EXPECT_EQ(QString::number(lost.TypeID) + lost.TypeName, "0未分组");

    Customer().Update(me);
    EXPECT_EQ(Stored("ME", "会员号"), "M1");
    me.Fields[0].Value = "M2";
    EXPECT_EQ(Refusal([&] { Customer().Update(me); }),
              "标题名称 会员号 输入的信息 M2 已经存在，不能重复输入！");
    me.Fields[0].Value = "M3";
    me.Name = "我'";
    me.TypeID = 0;
    Customer().Update(me);
    EXPECT_EQ(Stored("ME", "姓名"), "我'");
    EXPECT_EQ(Stored("ME", "TypeID"), "0");
    EXPECT_EQ(Stored("ME", "会员号"), "M3");
    EXPECT_EQ(Stored("YOU", "会员号"), "M2");
}

} // namespace
