#include "app/FormMain.h"
#include "app/StartUp.h"
#include "controls/VoskTree.h"
#include "data/DbAccess.h"
#include "notebook/Note.h"
#include "notebook/NoteTab.h"
#include "support/AppDirTest.h"
#include "ui/ExceptionHandler.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

class NotebookTest : public AppDirTest {
protected:
    void SetUp() override {
        AppDirTest::SetUp();
        ASSERT_TRUE(DbAccess().Connect());
    }
    void TearDown() override {
        form.reset();
        DbAccess().Disconnect();
        AppDirTest::TearDown();
    }
    void OpenMainWindow() {
        form = CreateMainWindow();
        ASSERT_NE(form, nullptr);
        form->show();
        tab = form->notebook;
    }
    void AddGroup(int self, int parent, const QString& name) {
        ExecSql(QList<SqlStatement>{
            {"insert into NoteType(SelfIndex, ParentIndex, TypeName) values (?, ?, ?)",
             {self, parent, name}}});
    }
    void AddNote(int group, const QString& text) {
        ExecSql(QList<SqlStatement>{
            {"insert into NoteBook(TypeID, ReMark) values (?, ?)", {group, text}}});
    }
    // The stored notes as "group:text", in order of storing.
    QStringList Notes() {
        QStringList rows;
        for (TDataSet& set = DbAccess().OpenQuery(
                 "select TypeID, ReMark, typeof(ReMark) from NoteBook order by ID");
             !set.Eof(); set.Next())
            rows << set.AsString(0) + ':' + set.AsString(1) +
                        (set.AsString(2) == "text" ? "" : "!");
        return rows;
    }
    void Select(const QString& text) {
        for (QTreeWidgetItemIterator it(tab->tvNote); *it; ++it)
            if ((*it)->text(0) == text)
                tab->tvNote->setCurrentItem(*it);
    }
    QString Memo() const { return tab->mmoNote->toPlainText(); }
    // The memo's selection as "start+length".
    QString Selection() const {
        const QTextCursor cursor = tab->mmoNote->textCursor();
        return QString("%1+%2").arg(cursor.selectionStart()).arg(cursor.selectedText().size());
    }
    void Find(const QString& what) {
        tab->Edit1->setText(what);
        QTest::mouseClick(tab->btn2, Qt::LeftButton);
    }

    std::unique_ptr<TFormMain> form;
    TNoteTab* tab = nullptr;
};

TEST_F(NotebookTest, ARowComesWithTheFirstNonBlankTextAndStaysWhenEmptied) {
    OpenMainWindow();
    QTest::keyClicks(tab->mmoNote, "  ");
    QTest::keyClick(tab->mmoNote, Qt::Key_Return);
    QTest::keyClick(tab->mmoNote, Qt::Key_Tab);
    EXPECT_EQ(Notes(), QStringList());

    QTest::keyClicks(tab->mmoNote, "a");
    EXPECT_EQ(Notes(), QStringList{"0:  \n\ta"});
    tab->mmoNote->selectAll();
    QTest::keyClick(tab->mmoNote, Qt::Key_Delete);
    EXPECT_EQ(Notes(), QStringList{"0:"});

    // Any quote, the batch separator and line breaks are stored as they are.
    const QString text = "it's \"@#@\" ]\n%_;--\n" + QString(70000, QChar(u'记'));
    tab->mmoNote->insertPlainText(text);
    EXPECT_EQ(Notes(), QStringList{"0:" + text});
}

TEST_F(NotebookTest, NoBreakSpacesAndLineAndParagraphSeparatorsAreStoredAsTyped) {
    const QString stored = QStringLiteral("a\u00A0b\u2028c\u2029d\ne");
    AddNote(0, stored);
    OpenMainWindow();
    tab->mmoNote->moveCursor(QTextCursor::End);
    QTest::keyClicks(tab->mmoNote, "!");
    EXPECT_EQ(Notes(), QStringList{"0:" + stored + "!"});

    QGuiApplication::clipboard()->setText(QStringLiteral("\u2029\u00A0\u2028"));
    tab->mmoNote->paste();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u2029"));
    QCoreApplication::sendEvent(tab->mmoNote, &typed);
    const QString typedText = stored + QStringLiteral("!\u2029\u00A0\u2028\u2029");
    EXPECT_EQ(Notes(), QStringList{"0:" + typedText});

    // Cut and pasted back, the text is the same.
    tab->mmoNote->selectAll();
    tab->mmoNote->cut();
    tab->mmoNote->paste();
    EXPECT_EQ(Notes(), QStringList{"0:" + typedText});
    tab->mmoNote->moveCursor(QTextCursor::Start);
    Find(QStringLiteral("\u00A0b"));
    EXPECT_EQ(Selection(), "1+2");
}

TEST_F(NotebookTest, TheMemoFollowsTheSelectionHoweverItMoves) {
    AddGroup(1, 0, "工作");
    AddGroup(2, 0, "家庭");
    AddNote(0, "根的记事");
    AddNote(1, "工作的记事");
    OpenMainWindow();
    EXPECT_EQ(Memo(), "根的记事");

    QTest::keyClick(tab->tvNote, Qt::Key_Down);
    EXPECT_EQ(Memo(), "工作的记事");
    QTest::keyClick(tab->tvNote, Qt::Key_Down);
    EXPECT_EQ(Memo(), "");
    QTest::keyClicks(tab->mmoNote, "x");
    QTest::keyClick(tab->tvNote, Qt::Key_Up);
    EXPECT_EQ(Memo(), "工作的记事");
    tab->mmoNote->moveCursor(QTextCursor::End);
    QTest::keyClicks(tab->mmoNote, "!");
    EXPECT_EQ(Notes(), (QStringList{"0:根的记事", "1:工作的记事!", "2:x"}));
}

TEST_F(NotebookTest, AGroupTakesItsNoteOnlyWhenItGoes) {
    AddGroup(1, 0, "上级");
    AddGroup(2, 1, "下级");
    AddGroup(3, 0, "别的");
    AddNote(1, "上级的记事");
    AddNote(3, "别的记事");
    OpenMainWindow();
    const auto run = [&] {
        boxes.shown.clear();
        RunHandled(nullptr, [&] { tab->NDelNoteTypeClick(); });
        return boxes.shown.isEmpty() ? QString() : boxes.Last().text;
    };

    Select("别的");
    boxes.AnswerNext(false);
    EXPECT_EQ(run(), QStringLiteral("确定要删除 别的 分组吗？"));
    Select("上级");
    EXPECT_EQ(run(), QStringLiteral("还有下级分组，不能删除该分组！"));
    EXPECT_EQ(Notes(), (QStringList{"1:上级的记事", "3:别的记事"}));

    // The group and its note go together or not at all.
    ExecSql("create trigger KeepNotes before delete on NoteBook "
            "begin select raise(abort, 'disk full'); end");
    Select("别的");
    boxes.AnswerNext(true);
    EXPECT_TRUE(run().startsWith("数据库操作失败！"));
    EXPECT_EQ(ExecScalarSql("select count(*) from NoteType where SelfIndex = 3"), 1);
    EXPECT_EQ(tab->NoteTree->SelectedIndex(), 3);
    ExecSql("drop trigger KeepNotes");
    boxes.AnswerNext(true);
    run();
    EXPECT_EQ(Notes(), QStringList{"1:上级的记事"});
    ASSERT_NE(tab->NoteTree->SelectedNode(), nullptr);
    EXPECT_EQ(Memo(), Note().Load(tab->NoteTree->SelectedIndex()));
}

TEST_F(NotebookTest, CtrlDAndCtrlTInsertTheDateAndTimeInPlaceOfTheSelection) {
    OpenMainWindow();
    const QLocale locale;
    const QString date = locale.toString(clock.now.date(), QLocale::ShortFormat);
    const QString dateTime = locale.toString(clock.now, QLocale::ShortFormat);
    QTest::keyClicks(tab->mmoNote, "[x]");
    QTest::keyClick(tab->mmoNote, Qt::Key_Left);
    QTest::keyClick(tab->mmoNote, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(tab->mmoNote, Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(tab->mmoNote, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(tab->mmoNote, Qt::Key_T, Qt::ControlModifier);
    const QString expected = "[" + date + date + dateTime + "]";
    EXPECT_EQ(Memo(), expected);
    EXPECT_EQ(Notes(), QStringList{"0:" + expected});
}

TEST_F(NotebookTest, FindIgnoresLatinCaseOnlyAndStartsOverAfterTheLast) {
    OpenMainWindow();
    tab->mmoNote->setPlainText("xx ABC\nyy abc 中文 中 文");
    Find("abc");
    EXPECT_EQ(Selection(), "3+3");
    Find("abc");
    EXPECT_EQ(Selection(), "10+3");
    Find("abc"); // after the last: the caret goes to the start
    EXPECT_EQ(Selection(), "0+0");
    Find("abc");
    EXPECT_EQ(Selection(), "3+3");

    Find("中文");
    EXPECT_EQ(Selection(), "14+2");
    Find("中文");
    EXPECT_EQ(Selection(), "0+0");
    tab->mmoNote->moveCursor(QTextCursor::End);
    Find("");
    EXPECT_EQ(Selection(), "0+0");

    // Only a-z and A-Z are folded.
    EXPECT_EQ(FindNoteText(QStringLiteral("ÉCOLE ＡＢＣ"), QStringLiteral("école"), 0), -1);
    EXPECT_EQ(FindNoteText(QStringLiteral("ÉCOLE ＡＢＣ"), QStringLiteral("ａｂｃ"), 0), -1);
    EXPECT_EQ(FindNoteText(QStringLiteral("ÉCOLE ＡＢＣ"), QStringLiteral("Écol"), 0), 0);
}

} // namespace
