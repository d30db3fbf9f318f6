#include "AlamTestSupport.h"
#include "app/FormMain.h"
#include "app/StartUp.h"
#include "reminders/AlamContext.h"
#include "reminders/AlamTab.h"
#include "reminders/FormAlamContext.h"
#include "reminders/FormBaseAlam.h"
#include "support/DataFileTest.h"

#include <QDateEdit>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class AlamEditorTest : public DataFileTest {
protected:
    void SetUp() override {
        DataFileTest::SetUp();
        clock.Set(QDateTime(QDate(2024, 7, 1), QTime(10, 0))); // a Monday
    }
    static QString typed(QLineEdit* box, const QString& keys) {
        box->clear();
        QTest::keyClicks(box, keys);
        return box->text();
    }
    static void leave(QLineEdit* box) {
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(box, &out);
    }
    int count(const char* table) {
        return ExecScalarSql(QStringLiteral("select count(*) from %1").arg(table));
    }
};

} // namespace

TEST_F(AlamEditorTest, BoxesCapRefuseAndRefill) {
    TFormAddAlam form;
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("新建提醒"));
    EXPECT_EQ(form.edtHour->text(), "9");
    EXPECT_EQ(form.edtMinute->text(), "0");
    EXPECT_EQ(form.DBDay->date(), QDate(2024, 7, 1));
    EXPECT_TRUE(form.rbOnly->isChecked());
    EXPECT_FALSE(form.edtMonWeek->isVisible());
    EXPECT_EQ(typed(form.edtHour, "75"), "23");
    EXPECT_EQ(typed(form.edtHour, "a1-"), "1");
    EXPECT_EQ(typed(form.edtMinute, "99"), "59");
    form.edtMinute->clear();
    leave(form.edtMinute);
    EXPECT_EQ(form.edtMinute->text(), "0");

    form.rbMonth->setChecked(true);
    EXPECT_TRUE(form.edtMonWeek->isVisible());
    EXPECT_FALSE(form.DBDay->isVisible());
    EXPECT_EQ(form.LabMonWord->text() + form.LabModWordAlam->text(), QStringLiteral("每月号提醒"));
    EXPECT_EQ(typed(form.edtMonWeek, "35"), "31");
    for (const QString day : {"10", "20", "30"})
        EXPECT_EQ(typed(form.edtMonWeek, day), day);
    form.edtMonWeek->clear();
    leave(form.edtMonWeek);
    EXPECT_EQ(form.edtMonWeek->text(), "1");

    form.rbWeek->setChecked(true);
    EXPECT_EQ(form.LabMonWord->text() + form.LabModWordAlam->text(), QStringLiteral("每周提醒"));
    EXPECT_EQ(form.edtMonWeek->text(), "1");
    for (const QString refused : {"0", "8", "9"})
        EXPECT_EQ(typed(form.edtMonWeek, refused), "");
    EXPECT_EQ(typed(form.edtMonWeek, "57"), "5");

    form.rbDay->setChecked(true);
    EXPECT_FALSE(form.edtMonWeek->isVisible());
    EXPECT_FALSE(form.DBDay->isVisible());
    form.DBDay->setDate(QDate(2024, 9, 9));
    form.rbOnly->setChecked(true);
    EXPECT_TRUE(form.DBDay->isVisible());
    EXPECT_EQ(form.DBDay->date(), QDate(2024, 7, 1));

    form.tmr1Timer();
    EXPECT_EQ(form.LabLabWeeks->text(), QStringLiteral("星期一"));
    EXPECT_FALSE(form.LabNow->text().isEmpty());
    EXPECT_EQ(WeekDayName(QDate(2024, 7, 7)), QStringLiteral("星期日"));
}

TEST_F(AlamEditorTest, SavingRefusesAPastOnceOnlyMomentAndABlankText) {
    TFormAddAlam form;
    form.show();
    form.mmoNote->setPlainText(" \n  ");
    QTest::mouseClick(form.btnOK, Qt::LeftButton);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("提醒内容不能为空！"));
    form.mmoNote->setPlainText("  call back");
    QTest::mouseClick(form.btnOK, Qt::LeftButton);
    EXPECT_EQ(boxes.Last().caption, QStringLiteral("错误"));
    EXPECT_EQ(boxes.Last().text, QStringLiteral("设置的提醒时间不能早于现在时间！"));
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(count("Alam"), 0);
    // 10:00 passes while the clock stands within second 0.
    form.edtHour->setText("10");
    clock.Set(QDateTime(QDate(2024, 7, 1), QTime(10, 0, 1)));
    QTest::mouseClick(form.btnOK, Qt::LeftButton);
    EXPECT_EQ(count("Alam"), 0);
    const int boxesShown = boxes.shown.size();
    clock.Set(QDateTime(QDate(2024, 7, 1), QTime(10, 0, 0)));
    QTest::mouseClick(form.btnOK, Qt::LeftButton);
    EXPECT_EQ(boxes.shown.size(), boxesShown);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    const TAlamRecord stored = Alam().Load(ExecScalarSql("select max(ID) from Alam"));
    EXPECT_EQ(stored.ReMark, "  call back");
    EXPECT_EQ(stored.AlamDate, QDate(2024, 7, 1));

    // Repeating reminders are never compared with the clock; an empty hour box counts as 0.
    TFormAddAlam daily;
    daily.show();
    daily.rbDay->setChecked(true);
    daily.edtHour->clear();
    daily.mmoNote->setPlainText("every day");
    QTest::mouseClick(daily.btnOK, Qt::LeftButton);
    EXPECT_EQ(daily.result(), QDialog::Accepted);
    const TAlamRecord repeating = Alam().Load(ExecScalarSql("select max(ID) from Alam"));
    EXPECT_EQ(QList<int>({repeating.ReDay, repeating.iHour, repeating.iMinute, repeating.iMonWeek}),
              QList<int>({ReDayDaily, 0, 0, 1}));
}

TEST_F(AlamEditorTest, ChangingShowsTheStoredValuesAndClearsTheSeenFlag) {
    const int id = AddAlam(ReDayWeekly, 7, 45, 5, QDate(2024, 6, 1), "weekly\ntext");
    Alam().MarkSeen(id);
    TFormModAlam form(id);
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("修改提醒"));
    EXPECT_TRUE(form.rbWeek->isChecked());
    EXPECT_EQ(form.edtMonWeek->text(), "5");
    EXPECT_TRUE(form.edtMonWeek->isVisible());
    EXPECT_EQ(form.LabMonWord->text(), QStringLiteral("每周"));
    EXPECT_FALSE(form.DBDay->isVisible());
    EXPECT_EQ(form.DBDay->date(), QDate(2024, 6, 1));
    EXPECT_EQ(form.edtHour->text() + ":" + form.edtMinute->text(), "7:45");
    EXPECT_EQ(form.mmoNote->toPlainText(), "weekly\ntext");
    form.edtMonWeek->setText("6");
    QTest::mouseClick(form.btnOK, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(SeenFlag(id), 0);
    EXPECT_EQ(ExecScalarSql("select iMonWeek from Alam where ID=?", {id}), 6);
}

TEST_F(AlamEditorTest, ThePresetButtonReplacesTheTextOnlyOnOk) {
    AlamContext().Add("preset one");
    TFormAddAlam form;
    form.show();
    form.mmoNote->setPlainText("typed");
    OnNextModal<TFormAlamContext>([](TFormAlamContext& list) { list.reject(); });
    form.btnAlamContext->click();
    EXPECT_EQ(form.mmoNote->toPlainText(), "typed");
    OnNextModal<TFormAlamContext>([](TFormAlamContext& list) {
        list.lv1->setCurrentItem(list.lv1->topLevelItem(0));
        list.btnOK->click();
    });
    form.btnAlamContext->click();
    EXPECT_EQ(form.mmoNote->toPlainText(), "preset one");
}

TEST_F(AlamEditorTest, PresetsAddChangeDeletePickAndTheSelectionMessage) {
    TFormAlamContext list;
    list.show();
    EXPECT_EQ(list.windowTitle(), QStringLiteral("预设提醒内容"));
    EXPECT_EQ(list.lv1->topLevelItemCount(), 0);
    list.N2Click();
    list.N3Click();
    EXPECT_TRUE(boxes.shown.isEmpty());
    list.btnOK->click();
    EXPECT_EQ(boxes.Last().caption, QStringLiteral("提示"));
    EXPECT_EQ(boxes.Last().text, QStringLiteral("请先选择一条预设提醒内容!"));
    EXPECT_TRUE(list.isVisible());

    TFormAlamContextText blank;
    blank.show();
    EXPECT_EQ(blank.windowTitle(), QStringLiteral("新建提醒内容"));
    blank.mmoNote->setPlainText("   ");
    QTest::mouseClick(blank.btnOK, Qt::LeftButton);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("提醒内容不能为空！"));
    EXPECT_EQ(count("AlamContext"), 0);

    const QString texts[] = {"  leading", "it's @#@ a\nbreak"};
    for (const QString& text : texts) {
        OnNextModal<TFormAlamContextText>([text](TFormAlamContextText& dialog) {
            dialog.mmoNote->setPlainText(text);
            dialog.btnOK->click();
        });
        list.N1Click();
    }
    EXPECT_EQ(ColumnTexts(list.lv1, 1), QStringList(std::begin(texts), std::end(texts)));

    list.lv1->setCurrentItem(list.lv1->topLevelItem(0));
    OnNextModal<TFormAlamContextText>([](TFormAlamContextText& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("修改提醒内容"));
        EXPECT_EQ(dialog.mmoNote->toPlainText(), "  leading");
        dialog.mmoNote->setPlainText("changed");
        dialog.btnOK->click();
    });
    list.N2Click();
    EXPECT_EQ(ColumnTexts(list.lv1, 1), QStringList({"changed", texts[1]}));

    list.lv1->setCurrentItem(list.lv1->topLevelItem(0));
    boxes.AnswerNext(false);
    list.N3Click();
    EXPECT_EQ(boxes.Last().text, QStringLiteral("你确定要删除你选择的内容吗?"));
    EXPECT_EQ(list.lv1->topLevelItemCount(), 2);
    boxes.AnswerNext(true);
    list.N3Click();
    EXPECT_EQ(ColumnTexts(list.lv1, 1), QStringList({texts[1]}));
    EXPECT_EQ(count("AlamContext"), 1);

    // A double click picks the row.
    const QRect row = list.lv1->visualItemRect(list.lv1->topLevelItem(0));
    QTest::mouseClick(list.lv1->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list.lv1->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(list.result(), QDialog::Accepted);
    EXPECT_EQ(list.ChosenText, texts[1]);
}

TEST_F(AlamEditorTest, PresetHintTypesOneByteATick) {
    TFormAlamContext list;
    const QString hint = QStringLiteral("点右键可以新建、修改和删除预设提醒内容");
    for (int tick = 1; tick <= 37; ++tick)
        list.tmrHintTimer();
    EXPECT_EQ(list.statHintPanel->text(), hint.left(18));
    list.tmrHintTimer();
    EXPECT_EQ(list.statHintPanel->text(), hint);
    list.tmrHintTimer();
    EXPECT_EQ(list.statHintPanel->text(), QString());
}

class AlamTabTest : public AlamEditorTest {
protected:
    void SetUp() override {
        AlamEditorTest::SetUp();
        tab.show();
        tab.LoadList(FilterAll);
    }
    TAlamTab tab;
};

TEST_F(AlamTabTest, MenuCommandsAddChangeAndDelete) {
    OnNextModal<TFormAddAlam>([](TFormAddAlam& dialog) {
        dialog.rbMonth->setChecked(true);
        dialog.edtMonWeek->setText("15");
        dialog.mmoNote->setPlainText("rent");
        dialog.btnOK->click();
    });
    tab.NAddAlam->trigger();
    EXPECT_EQ(ColumnTexts(tab.lv1, ColTime), QStringList({QStringLiteral("每月 15号  9时 0分")}));

    tab.NModAlamClick(); // nothing selected: nothing opens
    tab.lv1->setCurrentItem(tab.lv1->topLevelItem(0));
    OnNextModal<TFormModAlam>([](TFormModAlam& dialog) {
        dialog.edtHour->setText("18");
        dialog.btnOK->click();
    });
    tab.NModAlam->trigger();
    EXPECT_EQ(ColumnTexts(tab.lv1, ColTime), QStringList({QStringLiteral("每月 15号  18时 0分")}));

    tab.lv1->setCurrentItem(tab.lv1->topLevelItem(0));
    boxes.AnswerNext(false);
    tab.NDelAlam->trigger();
    EXPECT_EQ(boxes.Last().text, QStringLiteral("确实要删除 每月 15号  18时 0分 的提醒吗？"));
    EXPECT_EQ(tab.lv1->topLevelItemCount(), 1);
    boxes.AnswerNext(true);
    tab.NDelAlam->trigger();
    EXPECT_EQ(tab.lv1->topLevelItemCount(), 0);
    EXPECT_EQ(count("Alam"), 0);
}

namespace {

// True when the list's first row has a line under it and right of its second column.
bool DrawsGridLines(QTreeWidget* list) {
    const QImage shown = list->viewport()->grab().toImage();
    const QRect row = list->visualItemRect(list->topLevelItem(0));
    const int columnRight = list->columnViewportPosition(1) + list->columnWidth(1) - 1;
    const QColor line(0xd0, 0xd0, 0xd0);
    return shown.pixelColor(columnRight - 10, row.bottom()) == line &&
           shown.pixelColor(columnRight, row.center().y()) == line;
}

} // namespace

TEST_F(AlamTabTest, ReminderAndPresetListsDrawGridLines) {
    AddAlam(ReDayDaily, 9, 0, 1, QDate(2024, 7, 1), "daily");
    tab.resize(900, 300);
    tab.LoadList(FilterAll);
    EXPECT_TRUE(DrawsGridLines(tab.lv1));

    AlamContext().Add("preset");
    TFormAlamContext presets;
    presets.resize(700, 300);
    presets.show();
    EXPECT_TRUE(DrawsGridLines(presets.lv1));
}
