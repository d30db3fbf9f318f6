#include "controls/VoskEdtBut.h"
#include "customers/CustomersTestSupport.h"
#include "customers/FormConnFile.h"
#include "customers/FormCustomer.h"
#include "data/DbAccess.h"
#include "ui/ExceptionHandler.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

class ConnFileTest : public CustomersTest {
protected:
    // Runs a command of the page; the text of the box it showed, empty for none.
    QString Run(TConnFilePage& page, void (TConnFilePage::*command)()) {
        boxes.shown.clear();
        RunHandled(nullptr, [&] { (page.*command)(); });
        return boxes.shown.isEmpty() ? QString() : boxes.Last().text;
    }

    // Fills the entry dialog the next command opens and presses OK; what OK said, if anything.
    void FillEntry(const QString& path, const QString& remark, QString* said = nullptr,
                   bool choose = false) {
        WhenModal([=, this](QWidget* dialog) {
            auto* entry = qobject_cast<TFormBaseConnFile*>(dialog);
            ASSERT_NE(entry, nullptr);
            if (choose) {
                fileDialogs.ChooseNext(path);
                entry->EdtFileButClick();
            } else
                entry->EdtFile->setText(path);
            entry->mmoRemark->setPlainText(remark);
            boxes.shown.clear();
            RunHandled(nullptr, [&] {
                if (auto* add = qobject_cast<TFormAddConnFile*>(entry))
                    add->btnOKClick();
                else
                    static_cast<TFormModConnfile*>(entry)->btnOKClick();
            });
            if (said)
                *said = boxes.shown.isEmpty() ? QString() : boxes.Last().text;
            if (entry->isVisible())
                entry->reject();
        });
    }

    // Every stored entry as "guid|path|remark", in order of creation.
    QStringList Entries() {
        QStringList rows;
        for (TDataSet& row =
                 DbAccess().OpenQuery("select GUID, FileName, Remark from ConnFile order by ID");
             !row.Eof(); row.Next())
            rows << row.AsString(0) + "|" + row.AsString(1) + "|" + row.AsString(2);
        return rows;
    }

    QStringList Listed(const TConnFilePage& page) {
        QStringList rows;
        for (int row = 0; row < page.lvConnFile->topLevelItemCount(); ++row)
            rows << page.lvConnFile->topLevelItem(row)->text(1) + "|" +
                        page.lvConnFile->topLevelItem(row)->text(2);
        return rows;
    }

    QString MakeFile(const QString& name) {
        QFile file(appDir() + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("data");
        return file.fileName();
    }
};

TEST_F(ConnFileTest, EntriesAreAddedWhileAddingAndStayWhenTheCustomerIsCancelled) {
    QString guid;
    {
        TFormAddCustomer customer;
        guid = customer.Guid;
        TConnFilePage& page = *customer.ConnFiles;
        EXPECT_EQ(page.lvConnFile->topLevelItemCount(), 0);
        QString said;
        FillEntry("   ", "x", &said);
        Run(page, &TConnFilePage::N1Click);
        EXPECT_EQ(said, "关联文件不能为空！");
        EXPECT_TRUE(Entries().isEmpty());

        FillEntry("/doc/合同.pdf", "第一份", nullptr, true);
        Run(page, &TConnFilePage::N1Click);
        FillEntry(" /doc/合同.pdf ", "同一文件\n两行", nullptr);
        Run(page, &TConnFilePage::N1Click);
        FillEntry("/doc/合同.pdf", "", nullptr);
        Run(page, &TConnFilePage::N1Click);
        EXPECT_EQ(Listed(page), (QStringList{"/doc/合同.pdf|第一份",
                                             " /doc/合同.pdf |同一文件\n两行", "/doc/合同.pdf|"}));
        EXPECT_EQ(page.lvConnFile->toolTip(), "点右键可以新建、修改和删除关联文件");
        customer.reject();
    }
    EXPECT_EQ(Entries(),
              (QStringList{guid + "|/doc/合同.pdf|第一份", guid + "| /doc/合同.pdf |同一文件\n两行",
                           guid + "|/doc/合同.pdf|"}));
    EXPECT_EQ(ExecScalarSql("select count(*) from Customer"), 0);
}

TEST_F(ConnFileTest, EditAndDeleteActOnTheFirstSelectedRowOnly) {
    const QString kept = MakeFile("a.txt");
    AddCustomer("G1", 0, "甲", "1");
    ExecSql(QList<SqlStatement>{
        {"insert into ConnFile(GUID, FileName, Remark) values ('G1', ?, '一'), ('G1', '/b', '二'), "
         "('G1', '/c', '三'), ('G2', '/other', '')",
         {kept}}});
    TFormModCustomer customer;
    customer.Guid = "G1";
    customer.show();
    TConnFilePage& page = *customer.ConnFiles;
    EXPECT_EQ(Listed(page), (QStringList{kept + "|一", "/b|二", "/c|三"}));

    EXPECT_EQ(Run(page, &TConnFilePage::N2Click), ""); // nothing selected: nothing opens
    page.lvConnFile->topLevelItem(1)->setSelected(true);
    QString said;
    WhenModal([&](QWidget* dialog) {
        auto* entry = qobject_cast<TFormModConnfile*>(dialog);
        ASSERT_NE(entry, nullptr);
        said = entry->windowTitle() + "|" + entry->EdtFile->text() + "|" +
               entry->mmoRemark->toPlainText();
        entry->EdtFile->setText("");
        RunHandled(nullptr, [&] { entry->btnOKClick(); });
        EXPECT_EQ(boxes.Last().text, "关联文件不能为空！");
        entry->EdtFile->setText("/b2 ");
        entry->mmoRemark->setPlainText("改过");
        entry->btnOKClick();
    });
    Run(page, &TConnFilePage::N2Click);
    EXPECT_EQ(said, "修改关联文件|/b|二");
    EXPECT_EQ(Listed(page), (QStringList{kept + "|一", "/b2 |改过", "/c|三"}));

    for (int row : {2, 1, 0})
        page.lvConnFile->topLevelItem(row)->setSelected(true);
    const QString asked = "真的要删除所选 " + kept + " 关联文件吗？";
    EXPECT_EQ(Run(page, &TConnFilePage::N3Click), asked);
    EXPECT_EQ(Entries().size(), 4); // answered No
    boxes.AnswerNext(true);
    EXPECT_EQ(Run(page, &TConnFilePage::N3Click), asked);
    EXPECT_EQ(Entries(), (QStringList{"G1|/b2 |改过", "G1|/c|三", "G2|/other|"}));
    EXPECT_EQ(Listed(page), (QStringList{"/b2 |改过", "/c|三"}));
    EXPECT_TRUE(QFile::exists(kept));
}

TEST_F(ConnFileTest, OpenAndLocateHandTheFileToTheDesktopOrReportItMissing) {
    const QString file = MakeFile("报价 单.xlsx");
    AddCustomer("G1", 0, "甲", "1");
    ExecSql(QList<SqlStatement>{
        {"insert into ConnFile(GUID, FileName, Remark) values ('G1', ?, ''), ('G1', ?, '')",
         {file, appDir() + "gone.doc"}}});
    TFormModCustomer customer;
    customer.Guid = "G1";
    customer.show();
    TConnFilePage& page = *customer.ConnFiles;

    page.lvConnFile->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(Run(page, &TConnFilePage::NOperFileClick), "");
    EXPECT_EQ(Run(page, &TConnFilePage::NQueryFileClick), "");
    EXPECT_EQ(shell.opened, QStringList{file});
    EXPECT_EQ(shell.shown, QStringList{file});

    page.lvConnFile->clearSelection();
    page.lvConnFile->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(Run(page, &TConnFilePage::NOperFileClick), appDir() + "gone.doc 文件不存在！");
    EXPECT_EQ(Run(page, &TConnFilePage::NQueryFileClick), appDir() + "gone.doc 文件不存在！");
    EXPECT_EQ(boxes.Last().caption, "错误");
    EXPECT_EQ(shell.opened.size() + shell.shown.size(), 2);
}

} // namespace
