#include "maintenance/SheetReader.h"
#include "Workbooks.h"
#include "data/Exceptions.h"
#include "support/AppDirTest.h"

#include <QDate>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kNotWorkbook = "所选文件不是Excel工作簿（.xlsx 或 .xls）";
const QString kDamaged = "Excel文件已损坏或不完整";
const QString kWithoutSheet = "Excel文件中没有工作表";

QList<QStringList> ReadAll(const QString& path, const TSheetLimits& limits = {}) {
    QList<QStringList> rows;
    const std::unique_ptr<TSheetReader> sheet = OpenSheet(path, limits);
    for (QStringList cells; sheet->NextRow(cells);)
        rows << cells;
    return rows;
}

// The reason the reader gives for the file; empty when it reads it.
QString FailureOf(const QString& path, const TSheetLimits& limits = {}) {
    try {
        ReadAll(path, limits);
    } catch (const EUserError& error) {
        return error.Message();
    }
    return QString();
}

QByteArray Sheet(const QByteArray& rows) {
    return R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
           rows + "</sheetData></worksheet>";
}

class SheetReaderTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return dir.filePath(name); }
    QString handWritten(const QString& name, const QByteArray& rows,
                        const QByteArray& strings = {}) {
        WriteZip(file(name), HandWrittenWorkbook(Sheet(rows), strings));
        return file(name);
    }
    QTemporaryDir dir;
};

TEST_F(SheetReaderTest, ValuesArriveAsTheUserTypedThem) {
    WriteXlsx(file("book.xlsx"),
              {{"姓名", "手机号码", "生日", "金额", "会员"},
               {"张三", 13912345678.0, QDate(2024, 3, 15), 12.5, true},
               {},
               {"李四", QVariant(), QVariant(), 0.1, false}},
              {"客户", "其他"});
    EXPECT_EQ(ReadAll(file("book.xlsx")),
              (QList<QStringList>{{"姓名", "手机号码", "生日", "金额", "会员"},
                                  {"张三", "13912345678", "2024-03-15", "12.5", "1"},
                                  {"李四", "", "", "0.1", "0"}}));

    EXPECT_EQ(NumberText(-3.0), "-3");
    EXPECT_EQ(NumberText(1.5e-7), "0.00000015");
    EXPECT_EQ(NumberText(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(FormatCodeKind("yyyy/m/d"), TNumberKind::Date);
    EXPECT_EQ(FormatCodeKind("[$-804]yyyy\"年\"m\"月\"d\"日\";@"), TNumberKind::Date);
    EXPECT_EQ(FormatCodeKind("yyyy-mm-dd hh:mm"), TNumberKind::DateTime);
    EXPECT_EQ(FormatCodeKind("[h]:mm"), TNumberKind::Time);
    EXPECT_EQ(FormatCodeKind("[Red]0.00;\"day\"0"), TNumberKind::Number);
    EXPECT_EQ(SerialText(45366.5, TNumberKind::DateTime, false), "2024-03-15 12:00:00");
    EXPECT_EQ(SerialText(43904, TNumberKind::Date, true), "2024-03-15");
    EXPECT_EQ(SerialText(1, TNumberKind::Date, false), "1900-01-01");
    EXPECT_EQ(SerialText(-1, TNumberKind::Date, false), "-1");
}

TEST_F(SheetReaderTest, HandWrittenSheetWithInlineStringsGapsAndRichText) {
    const QString path = handWritten(
        "hand.xlsx",
        R"(<row r="1"><c r="A1" t="inlineStr"><is><t>姓名</t></is></c><c r="C1" t="s"><v>0</v></c></row>)"
        R"(<row r="2"/><row r="3"><c r="B3" t="inlineStr"><is><t></t></is></c></row>)"
        R"(<row r="4"><c r="A4" t="inlineStr"><is><r><t>王</t></r><r><rPr><b/></rPr><t>五</t></r>)"
        R"(<rPh sb="0" eb="1"><t>ワン</t></rPh></is></c><c r="C4"><f>1+1</f><v>1.3912345678E10</v></c></row>)"
        R"(<row><c t="inlineStr"><is><t xml:space="preserve"> 空 格 </t></is></c><c t="b"><v>1</v></c>)"
        R"(<c t="str"><v>公式&amp;值</v></c></row>)",
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="1">)"
        R"(<si><r><t>手机</t></r><r><t>号码</t></r></si></sst>)");
    EXPECT_EQ(ReadAll(path), (QList<QStringList>{{"姓名", "", "手机号码"},
                                                 {"王五", "", "13912345678"},
                                                 {" 空 格 ", "1", "公式&值"}}));
}

TEST_F(SheetReaderTest, ReadsTheXlsFixture) {
    EXPECT_EQ(ReadAll(MAINTENANCE_FIXTURES "/customers.xls"),
              (QList<QStringList>{{"姓名", "手机号码", "生日", "金额", "备注"},
                                  {"张三", "13912345678", "2024-03-15", "12.5", "老客户"},
                                  {"李四", "013800138000", "", "7", ""}}));
}

TEST_F(SheetReaderTest, DamagedForeignAndOversizedFilesAreRefusedWithTheReason) {
    WriteBytes(file("text.xlsx"), "姓名,手机号码\n张三,139\n");
    EXPECT_EQ(FailureOf(file("text.xlsx")), kNotWorkbook);
    WriteBytes(file("empty.xls"), "");
    EXPECT_EQ(FailureOf(file("empty.xls")), kNotWorkbook);
    EXPECT_EQ(FailureOf(file("missing.xlsx")), "无法打开文件：" + file("missing.xlsx"));

    WriteXlsx(file("good.xlsx"), {{"姓名"}, {"张三"}});
    const QByteArray good = ReadBytes(file("good.xlsx"));
    WriteBytes(file("cut.xlsx"), good.left(good.size() / 2));
    EXPECT_EQ(FailureOf(file("cut.xlsx")), kDamaged);

    WriteZip(file("nosheet.xlsx"), {{"readme.txt", "hello"}});
    EXPECT_EQ(FailureOf(file("nosheet.xlsx")), kWithoutSheet);
    QList<QPair<QString, QByteArray>> members = HandWrittenWorkbook(Sheet(""));
    members.removeLast();
    WriteZip(file("lost.xlsx"), members);
    EXPECT_EQ(FailureOf(file("lost.xlsx")), kWithoutSheet);

    EXPECT_EQ(FailureOf(handWritten("index.xlsx", R"(<row><c t="s"><v>3</v></c></row>)",
                                    "<sst><si><t>a</t></si></sst>")),
              kDamaged);
    EXPECT_EQ(FailureOf(handWritten("ref.xlsx", R"(<row><c r="ZZZZ1"><v>1</v></c></row>)")),
              kDamaged);
    EXPECT_EQ(FailureOf(handWritten("far.xlsx", R"(<row><c r="XFE1"><v>1</v></c></row>)")),
              kDamaged);
    EXPECT_EQ(FailureOf(handWritten("xml.xlsx", R"(<row><c><v>1</v></row>)")), kDamaged);
    EXPECT_EQ(
        FailureOf(handWritten("long.xlsx", "<row><c t=\"inlineStr\"><is><t>" +
                                               QByteArray(32768, 'x') + "</t></is></c></row>")),
        "Excel文件中有单元格的内容超过32767个字符");

    QByteArray manyRows;
    for (int row = 1; row <= 20000; ++row)
        manyRows += "<row><c><v>" + QByteArray::number(row) + "</v></c></row>";
    const QString bomb = handWritten("bomb.xlsx", manyRows);
    TSheetLimits small;
    small.sheetBytes = 64 * 1024;
    EXPECT_EQ(FailureOf(bomb, small), "Excel文件解压后过大，超出了导入的限度");
    EXPECT_EQ(FailureOf(bomb), QString());

    const QByteArray xls = ReadBytes(MAINTENANCE_FIXTURES "/customers.xls");
    WriteBytes(file("cut.xls"), xls.left(xls.size() / 2));
    EXPECT_TRUE(FailureOf(file("cut.xls")).startsWith("Excel文件"));
}

// Every prefix of a workbook and every byte changed in turn either reads or is refused with a
// reason; nothing else may happen.
TEST_F(SheetReaderTest, NoCutOrChangedByteBreaksTheReader) {
    WriteXlsx(file("good.xlsx"), {{"姓名", "手机号码"}, {"张三", 13912345678.0}, {"李四", "x"}});
    const QList<QByteArray> books = {ReadBytes(file("good.xlsx")),
                                     ReadBytes(MAINTENANCE_FIXTURES "/customers.xls")};
    const QString path = file("fuzz");
    int refused = 0;
    for (const QByteArray& book : books) {
        for (qsizetype cut = 0; cut < book.size(); cut += 89) {
            WriteBytes(path, book.left(cut));
            refused += !FailureOf(path).isEmpty();
        }
        for (qsizetype at = 0; at < book.size(); at += 47) {
            QByteArray changed = book;
            changed[at] = char(changed[at] ^ 0x5A);
            WriteBytes(path, changed);
            FailureOf(path);
        }
    }
    EXPECT_GT(refused, 0);
}

} // namespace
