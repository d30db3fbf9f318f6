#include "controls/VoskDBGrid.h"
#include "controls/VoskEdtBut.h"
#include "controls/VoskTree.h"
#include "customers/CustomersTestSupport.h"
#include "customers/ExcelExport.h"
#include "customers/FormCustomer.h"
#include "data/DataFiles.h"
#include "data/DbAccess.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include <sys/stat.h>
#include <zip.h>

namespace {

QByteArray ZipEntry(const QString& path, const char* name) {
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return {};
    QByteArray bytes;
    zip_stat_t stat;
    if (zip_stat(archive, name, 0, &stat) == 0) {
        if (zip_file_t* file = zip_fopen(archive, name, 0)) {
            bytes.resize(qsizetype(stat.size));
            bytes.resize(qsizetype(zip_fread(file, bytes.data(), stat.size)));
            zip_fclose(file);
        }
    }
    zip_close(archive);
    return bytes;
}

// The first sheet's cells as rows of texts (shared and inline strings).
QList<QStringList> ReadSheet(const QString& path) {
    QStringList shared;
    QXmlStreamReader strings(ZipEntry(path, "xl/sharedStrings.xml"));
    while (!strings.atEnd())
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == u"t")
            shared << strings.readElementText();
    QList<QStringList> rows;
    QXmlStreamReader sheet(ZipEntry(path, "xl/worksheets/sheet1.xml"));
    QString type;
    int column = 0;
    while (!sheet.atEnd()) {
        if (sheet.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (sheet.name() == u"row") {
            rows.append(QStringList());
        } else if (sheet.name() == u"c") {
            type = sheet.attributes().value("t").toString();
            const QString ref = sheet.attributes().value("r").toString();
            column = ref.at(0).unicode() - 'A';
        } else if (sheet.name() == u"t" || sheet.name() == u"v") {
            const QString text = sheet.readElementText();
            QStringList& row = rows.last();
            while (row.size() <= column)
                row << QString();
            row[column] = type == "s" ? shared.value(text.toInt()) : text;
        }
    }
    return rows;
}

class CustomerListTest : public CustomersTest {};

TEST_F(CustomerListTest, TheSelectedGroupAndTheSearchMakeTheListWithTheKeyHidden) {
    AddGroup(1, 0, "老客户");
    AddField("城市", 0);
    AddCustomer("G1", 0, "a_1", "13800", {"北京"}, {"城市"});
    AddCustomer("G2", 1, "b%2", "13911", {"Shanghai"}, {"城市"});
    AddCustomer("G3", 1, "c3", "13900", {"O'Hara"}, {"城市"});
    OpenMainWindow();
    EXPECT_EQ(Column("GUID"), (QStringList{"G1", "G2", "G3"}));
    EXPECT_TRUE(tab->DBGrid1->isColumnHidden(0));
    QStringList titles;
    for (int i = 0; i < tab->DBGrid1->model()->columnCount(); ++i)
        titles << tab->DBGrid1->model()->headerData(i, Qt::Horizontal).toString();
    EXPECT_EQ(titles,
              (QStringList{"GUID", "所属分组", "姓名", "手机号码", "城市", "备注", "新建时间"}));
    EXPECT_EQ(tab->cbbQuery->count(), 3);

    tab->tv1->setCurrentItem(Node("老客户"));
    tab->cbbQuery->setCurrentText("城市");
    tab->edtQuery->setText("o'h");
    tab->btnQueryClick();
    EXPECT_EQ(Column("GUID"), QStringList{"G3"});
    // Searching by the tree's click keeps the text.
    tab->tv1->setCurrentItem(Node("全部"));
    tab->cbbQuery->setCurrentText("姓名");
    tab->edtQuery->setText("b");
    tab->tv1Click();
    EXPECT_EQ(Column("GUID"), QStringList{"G2"});
}

TEST_F(CustomerListTest, TheListFollowsTheGroupHoweverItIsSelected) {
    AddGroup(1, 0, "老客户");
    AddGroup(2, 0, "新客户");
    AddCustomer("G1", 1, "张三", "139");
    AddCustomer("G2", 2, "李四", "138");
    OpenMainWindow();
    auto click = [&](const QString& group, Qt::MouseButton button) {
        const QRect place = tab->tv1->visualItemRect(Node(group));
        QTest::mouseClick(tab->tv1->viewport(), button, {}, place.center());
        tab->pmCustomerType->close();
    };
    click("新客户", Qt::RightButton);
    EXPECT_EQ(tab->CustomerTree->SelectedIndex(), 2);
    EXPECT_EQ(Column("GUID"), QStringList{"G2"});
    QTest::keyClick(tab->tv1, Qt::Key_Up);
    EXPECT_EQ(Column("GUID"), QStringList{"G1"});
    // A click on the listed group runs its query again.
    AddCustomer("G3", 1, "王五", "137");
    click("老客户", Qt::LeftButton);
    EXPECT_EQ(Column("GUID"), (QStringList{"G1", "G3"}));
}

TEST_F(CustomerListTest, DeletingTheCurrentRowKeepsTheStatusBarUntilTheNextLoad) {
    AddField("金额", 4);
    AddField("积分", 4);
    const QStringList fields{"金额", "积分"};
    AddCustomer("G1", 0, "甲", "1", {"12.5", "3"}, fields);
    AddCustomer("G2", 0, "乙", "", {"", "12abc"}, fields);
    AddCustomer("G3", 0, "丙", "3", {"abc", "-0.25"}, fields);
    OpenMainWindow();
    const QStringList before{"客户数量：", "3", "金额：", "12.5", "积分：", "2.75"};
    EXPECT_EQ(tab->StatusTexts(), before);

    // Totalling walked the rows; the first stays the current one.
    tab->N3Click(); // answered No
    EXPECT_EQ(boxes.shown.at(0).text, "确实要删除：＂甲＂吗?");
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer"), 3);
    boxes.AnswerNext(true);
    tab->N3Click();
    EXPECT_EQ(boxes.Last().text, "删除成功！");
    EXPECT_EQ(Column("GUID"), (QStringList{"G2", "G3"}));
    EXPECT_EQ(tab->StatusTexts(), before);
    tab->btnQueryClick();
    EXPECT_EQ(tab->StatusTexts(),
              (QStringList{"客户数量：", "2", "金额：", "0", "积分：", "-0.25"}));
    QStringList numbers;
    for (const TSmsRecipient& customer : tab->ListedCustomersWithNumber())
        numbers << customer.Name + ":" + customer.Number;
    EXPECT_EQ(numbers, QStringList{"丙:3"});

    // The command takes the current row.
    DbAccess().GridSet().MoveTo(1);
    boxes.AnswerNext(true);
    tab->N3Click();
    EXPECT_EQ(Column("GUID"), QStringList{"G2"});
}

TEST_F(CustomerListTest, NewCustomerGoesToTheSelectedGroupOrUngrouped) {
    AddGroup(1, 0, "老客户");
    OpenMainWindow();
    QStringList seen;
    auto addOne = [&](const QString& name) {
        WhenModal([&, name](QWidget* dialog) {
            auto* form = qobject_cast<TFormAddCustomer*>(dialog);
            ASSERT_NE(form, nullptr);
            seen << QString::number(form->TypeID) + form->EdtGoup->text();
            form->edtName->setText(name);
            form->btnOK->click();
        });
        tab->NAddCustomerClick();
    };
    tab->tv1->setCurrentItem(Node("全部"));
    addOne("一");
    tab->tv1->setCurrentItem(Node("老客户"));
    addOne("二");
    EXPECT_EQ(seen, (QStringList{"0未分组", "1老客户"}));
    EXPECT_EQ(Column("姓名"), QStringList{"二"}); // the list reloads for the selected group
    EXPECT_EQ(tab->StatusTexts(), (QStringList{"客户数量：", "1"}));
}

TEST_F(CustomerListTest, ExportWritesTheVisibleColumnsInTheGridsOrder) {
    AddField("金额", 4);
    AddCustomer("G1", 0, "张三", "013800138000", {"12.5"}, {"金额"});
    AddCustomer("G2", 0, "李四", "13900000000", {"7"}, {"金额"});
    OpenMainWindow();
    tab->DBGrid1->TitleClick(2);
    tab->DBGrid1->TitleClick(2); // by 姓名 descending: 李四 before 张三
    const QString folder = appDir() + "out";
    QDir().mkdir(folder);
    fileDialogs.ChooseNext(folder + "/list");
    tab->Excel1Click();
    ASSERT_EQ(boxes.Last().text, "导出数据到" + folder + "/list.xlsx成功!");
    EXPECT_EQ(boxes.Last().caption, "客户信息管理管理-禾森软件");
    const QList<QStringList> rows = ReadSheet(folder + "/list.xlsx");
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (QStringList{"所属分组", "姓名", "手机号码", "金额", "备注", "新建时间"}));
    EXPECT_EQ(rows[1].mid(0, 4), (QStringList{"未分组", "李四", "13900000000", "7"}));
    EXPECT_EQ(rows[2].mid(0, 4), (QStringList{"未分组", "张三", "013800138000", "12.5"}));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(folder + "/list.xlsx").constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    EXPECT_EQ(WorkbookFileName("LIST.XLSX"), "LIST.XLSX.xlsx");
    EXPECT_EQ(WorkbookFileName("a.xlsx"), "a.xlsx");
    fileDialogs.ChooseNext(appDir() + "missing/folder/list");
    tab->Excel1Click();
    EXPECT_TRUE(boxes.Last().text.startsWith("操作Excel时出现错误,导出数据失败!错误信息:"));
    EXPECT_GT(boxes.Last().text.size(),
              QString("操作Excel时出现错误,导出数据失败!错误信息:").size());
    const int shown = boxes.shown.size();
    tab->Excel1Click(); // cancelled
    EXPECT_EQ(boxes.shown.size(), shown);
}

} // namespace
