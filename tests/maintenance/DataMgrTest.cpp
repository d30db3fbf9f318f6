#include "Workbooks.h"
#include "controls/FormViewCustomerType.h"
#include "controls/VoskEdtBut.h"
#include "controls/VoskTree.h"
#include "customers/Customer.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "data/ProgramLock.h"
#include "maintenance/CustomerImport.h"
#include "maintenance/DataMaintenance.h"
#include "maintenance/FormDataMgr.h"
#include "support/DataFileTest.h"
#include "support/SmallDisk.h"
#include "ui/FormWaiting.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <sqlite3.h>
#include <sys/stat.h>

namespace {

const QString kImportFailed = "数据导入失败，失败原因：";

// Counts the rows of a table in a data file other than the open one.
int RowsIn(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    int count = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        count = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return count;
}

unsigned ModeOf(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 0777 : 0;
}

class DataMgrTest : public DataFileTest {
protected:
    void SetUp() override {
        DataFileTest::SetUp();
        ExecSql("alter table Customer add \"等级\" varchar(100) check (length(\"等级\") <= 100)@#@"
                "insert into AppTitle(TitleName, TitleType) values ('等级', 0)@#@"
                "insert into CustomerType(SelfIndex, ParentIndex, TypeName) values (1, 0, '华东')");
        dialog = std::make_unique<TFormDataMgr>();
        dialog->show();
    }
    void TearDown() override {
        dialog.reset();
        DataFileTest::TearDown();
    }

    void AddCustomer(const QString& name) {
        ExecSql(QList<SqlStatement>{
            {"insert into Customer(GUID, TypeID, 姓名) values (?, 1, ?)", {NewGuid(), name}}});
    }
    int Count(const QString& sql) { return ExecScalarSql(sql); }
    void Tick(const QStringList& fields) {
        for (int row = 0; row < dialog->lstbox1->count(); ++row) {
            QListWidgetItem* item = dialog->lstbox1->item(row);
            item->setCheckState(fields.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
        }
    }
    // Imports the workbook at path with the dialog and returns the box it ends with.
    QString Import(const QString& path) {
        fileDialogs.ChooseNext(path);
        dialog->btnInData->click();
        return boxes.Last().text;
    }
    QString file(const QString& name) const { return appDir() + name; }

    std::unique_ptr<TFormDataMgr> dialog;
};

TEST_F(DataMgrTest, BackupAppendsDatAndHoldsTheLatestChange) {
    AddCustomer("张三");
    fileDialogs.ChooseNext(file("a"));
    dialog->btnSave->click();
    EXPECT_EQ(boxes.Last().text, "备份成功!");
    EXPECT_EQ(fileDialogs.filters.last(), "数据文件 (*.dat)");
    EXPECT_EQ(RowsIn(file("a.dat"), "select count(*) from Customer where 姓名 = '张三'"), 1);
    EXPECT_EQ(ModeOf(file("a.dat")), 0600u);

    AddCustomer("李四");
    fileDialogs.ChooseNext(file("a.dat"));
    dialog->btnSave->click();
    EXPECT_EQ(RowsIn(file("a.dat.dat"), "select count(*) from Customer"), 2);
    EXPECT_EQ(RowsIn(file("a.dat"), "select count(*) from Customer"), 1);
    EXPECT_TRUE(dialog->isVisible());

    const int shown = boxes.shown.size();
    dialog->btnSave->click(); // the file dialog cancelled
    EXPECT_EQ(boxes.shown.size(), shown);
    EXPECT_FALSE(QFile::exists(SafetyCopyPath()));
}

TEST_F(DataMgrTest, NoAndCancelChangeNothingAndTakeNoSafetyCopy) {
    AddCustomer("张三");
    dialog->btnAdd->click(); // No
    EXPECT_EQ(boxes.Last().text, "你确定要恢复数据吗？你做的操作可能会覆盖最新的数据！");
    EXPECT_TRUE(fileDialogs.captions.isEmpty());
    boxes.AnswerNext(true);
    dialog->btnAdd->click(); // Yes, then the file dialog cancelled
    EXPECT_EQ(fileDialogs.captions.size(), 1);
    dialog->Button1->click(); // No
    EXPECT_EQ(boxes.Last().text, "你确定要清除数据吗？你做的操作将无法还原！");
    EXPECT_EQ(Count("select count(*) from Customer"), 1);
    EXPECT_FALSE(QFile::exists(SafetyCopyPath()));
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(DataMgrTest, RestorePutsEveryTableBackAndRefusesABadFile) {
    AddCustomer("张三");
    ExecSql("insert into NoteBook(TypeID, ReMark) values (0, '旧笔记')@#@"
            "insert into Alam(iHour, iMinute, ReMark) values (8, 30, '旧提醒')@#@"
            "insert into AlamContext(Remark) values ('旧预设')@#@"
            "update SysSet set bPass = -1, PassWord = 'old'");
    BackupData(file("good"));
    ExecSql("delete from Customer@#@delete from NoteBook@#@delete from Alam@#@"
            "delete from AlamContext@#@update SysSet set bPass = 0, PassWord = ''");
    AddCustomer("新客户");

    WriteBytes(file("bad.dat"), "not a data file");
    boxes.AnswerNext(true);
    fileDialogs.ChooseNext(file("bad.dat"));
    dialog->btnAdd->click();
    EXPECT_EQ(boxes.Last().text,
              "数据库恢复失败！\n详细信息：文件已损坏或不是数据文件。file is not a database");
    EXPECT_EQ(Count("select count(*) from Customer where 姓名 = '新客户'"), 1);
    EXPECT_FALSE(readLog(clock.now.date()).contains("数据恢复！"));
    EXPECT_TRUE(dialog->isVisible());

    boxes.AnswerNext(true);
    fileDialogs.ChooseNext(file("good.dat"));
    dialog->btnAdd->click();
    EXPECT_EQ(boxes.Last().text, "数据恢复成功!");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Count("select count(*) from Customer where 姓名 = '张三'"), 1);
    EXPECT_EQ(Count("select count(*) from Customer"), 1);
    EXPECT_EQ(Count("select count(*) from NoteBook where ReMark = '旧笔记'"), 1);
    EXPECT_EQ(Count("select count(*) from Alam where ReMark = '旧提醒'"), 1);
    EXPECT_EQ(Count("select count(*) from AlamContext where Remark = '旧预设'"), 1);
    EXPECT_EQ(Count("select bPass from SysSet"), -1);
    EXPECT_TRUE(readLog(clock.now.date()).contains("：数据恢复！"));
    // The safety copy holds the state just before the restore.
    EXPECT_EQ(RowsIn(SafetyCopyPath(), "select count(*) from Customer where 姓名 = '新客户'"), 1);
    EXPECT_EQ(ModeOf(SafetyCopyPath()), 0600u);
}

TEST_F(DataMgrTest, RestoringTheSafetyCopyPutsItBackAndKeepsTheDataBeforeIt) {
    AddCustomer("张三");
    ClearData();
    AddCustomer("李四");
    const QString link = file("link.dat");
    ASSERT_TRUE(QFile::link(SafetyCopyPath(), link));
    RestoreData(link);
    EXPECT_EQ(Count("select count(*) from Customer where 姓名 = '张三'"), 1);
    EXPECT_EQ(Count("select count(*) from Customer"), 1);
    EXPECT_EQ(RowsIn(SafetyCopyPath(), "select count(*) from Customer where 姓名 = '李四'"), 1);

    RestoreData(SafetyCopyPath());
    EXPECT_EQ(Count("select count(*) from Customer where 姓名 = '李四'"), 1);
    EXPECT_EQ(RowsIn(SafetyCopyPath(), "select count(*) from Customer where 姓名 = '张三'"), 1);
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // Not even the file the restore writes its copy to is lost when it is the one chosen.
    const QString temp = file("~RSbookkeep.dat.tmp");
    ASSERT_TRUE(QFile::copy(SafetyCopyPath(), temp));
    EXPECT_THROW(RestoreData(temp), EDBException);
    EXPECT_EQ(ReadBytes(temp), ReadBytes(SafetyCopyPath()));
}

TEST_F(DataMgrTest, ClearKeepsGroupZeroFieldsNotesAndRemindersAndOverwritesTheSafetyCopy) {
    AddCustomer("张三");
    ExecSql("update Customer set 等级 = 'A'@#@"
            "insert into ConnFile(GUID, FileName) values ('G', '/tmp/a.txt')@#@"
            "insert into NoteBook(TypeID, ReMark) values (0, '笔记')@#@"
            "insert into Alam(iHour, iMinute, ReMark) values (8, 30, '提醒')");
    boxes.AnswerNext(true);
    dialog->Button1->click();
    EXPECT_EQ(boxes.Last().text, "清除成功!");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Count("select count(*) from Customer"), 0);
    EXPECT_EQ(Count("select count(*) from ConnFile"), 0);
    EXPECT_EQ(Count("select count(*) from CustomerType"), 1);
    EXPECT_EQ(Count("select count(*) from CustomerType where SelfIndex = 0 and ParentIndex = 0 "
                    "and TypeName = '未分组'"),
              1);
    EXPECT_EQ(Count("select count(*) from AppTitle where TitleName = '等级'"), 1);
    EXPECT_EQ(Count("select count(*) from pragma_table_info('Customer') where name = '等级'"), 1);
    EXPECT_EQ(Count("select count(*) from NoteBook"), 1);
    EXPECT_EQ(Count("select count(*) from Alam"), 1);
    EXPECT_TRUE(readLog(clock.now.date()).contains("：系统初始化！"));
    EXPECT_EQ(RowsIn(SafetyCopyPath(), "select count(*) from Customer"), 1);

    // The next clear overwrites the safety copy with the emptied data.
    TFormDataMgr again;
    again.show();
    boxes.AnswerNext(true);
    again.Button1->click();
    EXPECT_EQ(RowsIn(SafetyCopyPath(), "select count(*) from Customer"), 0);
    EXPECT_EQ(RowsIn(SafetyCopyPath(), "select count(*) from ConnFile"), 0);
}

TEST_F(DataMgrTest, ImportAddsTheRowsToTheChosenGroup) {
    EXPECT_EQ(dialog->lstbox1->count(), 3);
    EXPECT_EQ(dialog->lstbox1->item(2)->text(), "等级");
    EXPECT_TRUE(dialog->TickedFields().isEmpty());
    EXPECT_EQ(dialog->EdtGoup->text(), "未分组");

    dialog->btnInData->click();
    EXPECT_EQ(boxes.Last().text, "姓名为必选!");
    EXPECT_TRUE(fileDialogs.captions.isEmpty());
    EXPECT_FALSE(QFile::exists(SafetyCopyPath()));

    Tick({"姓名", "手机号码"});
    WriteXlsx(file("header.xlsx"), {{"姓名", "手机号码"}});
    EXPECT_EQ(Import(file("header.xlsx")), "输入导入成功，导入条数：0");
    EXPECT_EQ(fileDialogs.filters.last(), "Excel文件 (*.xlsx *.xls)");
    EXPECT_EQ(Count("select count(*) from Customer"), 0);
    EXPECT_TRUE(QFile::exists(SafetyCopyPath()));

    QTimer::singleShot(0, [] {
        auto* picker = qobject_cast<TFormViewCustomerType*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        picker->tv1->setCurrentItem(picker->Tree->RootNode()->child(0));
        picker->btnOK->click();
    });
    dialog->EdtGoup->ButClick();
    dialog->hide(); // minimised and restored
    dialog->show();
    EXPECT_EQ(dialog->EdtGoup->text(), "华东");
    EXPECT_EQ(dialog->GroupIndex(), 1);
    EXPECT_EQ(dialog->TickedFields(), (QStringList{"姓名", "手机号码"}));

    WriteXlsx(file("three.xlsx"), {{"备注", "姓名", "手机号码", "等级"},
                                   {"r1", "张三", 13912345678.0, "A"},
                                   {"r2", "李四", QDate(2024, 3, 15), "B"},
                                   {"r3", "王五", 12.5, "C"}});
    EXPECT_EQ(Import(file("three.xlsx")), "输入导入成功，导入条数：3");
    TDataSet& rows = DbAccess().OpenQuery(
        "select GUID, TypeID, 姓名, 手机号码, 备注, 等级 from Customer order by rowid");
    QStringList names;
    QSet<QString> guids;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        names << rows.AsString("姓名") + "/" + rows.AsString("手机号码");
        guids << rows.AsString("GUID");
        EXPECT_EQ(rows.AsString("GUID").size(), 36);
        EXPECT_EQ(rows.AsInteger("TypeID"), 1);
        EXPECT_TRUE(rows.Value("备注").isNull());
        EXPECT_TRUE(rows.Value("等级").isNull());
    }
    EXPECT_EQ(names, (QStringList{"张三/13912345678", "李四/2024-03-15", "王五/12.5"}));
    EXPECT_EQ(guids.size(), 3);

    ExecSql("delete from Customer");
    EXPECT_EQ(Import(MAINTENANCE_FIXTURES "/customers.xls"), "输入导入成功，导入条数：2");
    EXPECT_EQ(Count("select count(*) from Customer where TypeID = 1 and ("
                    "(姓名 = '张三' and 手机号码 = '13912345678') or "
                    "(姓名 = '李四' and 手机号码 = '013800138000'))"),
              2);
}

TEST_F(DataMgrTest, AFailedImportStoresNothingAndNamesTheReason) {
    Tick({"姓名", "等级"});
    WriteXlsx(file("nolevel.xlsx"), {{"姓名", "手机号码"}, {"张三", "139"}});
    EXPECT_EQ(Import(file("nolevel.xlsx")), kImportFailed + "Excel文件中没有“等级”列");

    WriteXlsx(file("long.xlsx"), {{"姓名", "等级"},
                                  {"张三", "A"},
                                  {"李四", QString(100, 'b')},
                                  {"王五", QString(101, 'c')}});
    EXPECT_EQ(Import(file("long.xlsx")),
              kImportFailed + "第3条数据的“等级”内容过长，超过了该字段允许的长度");
    EXPECT_EQ(Count("select count(*) from Customer"), 0);
    EXPECT_FALSE(DbAccess().InTransaction());

    WriteBytes(file("renamed.xlsx"), "姓名\n张三\n");
    EXPECT_EQ(Import(file("renamed.xlsx")),
              kImportFailed + "所选文件不是Excel工作簿（.xlsx 或 .xls）");
    WriteZip(file("nosheet.xlsx"), {{"a.txt", "x"}});
    EXPECT_EQ(Import(file("nosheet.xlsx")), kImportFailed + "Excel文件中没有工作表");
    WriteZip(file("noheader.xlsx"), HandWrittenWorkbook("<worksheet><sheetData/></worksheet>"));
    EXPECT_EQ(Import(file("noheader.xlsx")), kImportFailed + "Excel文件的工作表是空的，没有列名行");
    const QByteArray xls = ReadBytes(MAINTENANCE_FIXTURES "/customers.xls");
    WriteBytes(file("cut.xls"), xls.left(1000));
    EXPECT_TRUE(Import(file("cut.xls")).startsWith(kImportFailed + "Excel文件"));
    EXPECT_EQ(Count("select count(*) from Customer"), 0);
    EXPECT_FALSE(WaitingWindow().isVisible());
}

TEST_F(DataMgrTest, AFullDiskIsNamedInWordsBeforeTheEnginesText) {
    ExecSql("pragma max_page_count = " + QString::number(ExecScalarSql("pragma page_count")));
    Tick({"姓名"});
    QList<QVariantList> rows = {{"姓名"}};
    for (int row = 0; row < 200; ++row)
        rows.append({QString(90, 'x')});
    WriteXlsx(file("many.xlsx"), rows);
    const QString imported = Import(file("many.xlsx"));
    EXPECT_TRUE(imported.startsWith(kImportFailed + "第")) << imported.toStdString();
    EXPECT_TRUE(imported.endsWith("条数据不能导入：磁盘空间已满。database or disk is full"))
        << imported.toStdString();
    EXPECT_EQ(Count("select count(*) from Customer"), 0);

    SmallDisk disk(400);
    if (!disk.Mounted())
        GTEST_SKIP() << "a full disk is a tmpfs, which only root can mount";
    DbAccess().Disconnect();
    UnlockProgramFolder();
    SetAppDir(disk.Folder());
    ASSERT_TRUE(QFile::copy(TEST_SEED_DATAFILE, dataFile()));
    ASSERT_TRUE(QFile::copy(TEST_SEED_DATAFILE, file("backup.dat")));
    ASSERT_TRUE(LockProgramFolder());
    ASSERT_TRUE(DbAccess().Connect());
    disk.Fill();
    // Room for part of a copy: the write stops short before it fails.
    QFile::resize(file("filler"), QFileInfo(file("filler")).size() - 5 * 4096);
    boxes.AnswerNext(true);
    fileDialogs.ChooseNext(file("backup.dat"));
    dialog->btnAdd->click();
    EXPECT_EQ(boxes.Last().text,
              "数据库恢复失败！\n详细信息：磁盘空间已满。No space left on device");
    DbAccess().Disconnect();
    UnlockProgramFolder();
}

TEST_F(DataMgrTest, ALongImportShowsItsProgressAndCannotStartTwice) {
    Tick({"姓名"});
    QList<QVariantList> rows = {{"姓名"}};
    for (int row = 0; row < kImportProgressRows + 5; ++row)
        rows.append({QString::number(row)});
    WriteXlsx(file("many.xlsx"), rows);
    bool checked = false;
    QTimer::singleShot(0, [&] {
        checked = true;
        EXPECT_TRUE(WaitingWindow().isVisible());
        EXPECT_FALSE(dialog->btnInData->isEnabled());
        const int dialogs = fileDialogs.captions.size();
        dialog->btnInDataClick();
        EXPECT_EQ(fileDialogs.captions.size(), dialogs);
    });
    EXPECT_EQ(Import(file("many.xlsx")),
              "输入导入成功，导入条数：" + QString::number(kImportProgressRows + 5));
    EXPECT_TRUE(checked);
    EXPECT_EQ(WaitingWindow().Text(),
              "正在导入数据，请稍后...已导入" + QString::number(kImportProgressRows) + "条");
    EXPECT_TRUE(dialog->btnInData->isEnabled());
    EXPECT_FALSE(WaitingWindow().isVisible());
}

} // namespace
