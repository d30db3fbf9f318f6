#include "ReminderShots.h"

#include "app/FormMain.h"
#include "data/Clock.h"
#include "reminders/Alam.h"
#include "reminders/AlamContext.h"
#include "reminders/AlamTab.h"
#include "reminders/FormAlamContext.h"
#include "reminders/FormBaseAlam.h"
#include "reminders/FormShowAlam.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVariantAnimation>

namespace {

// Monday 1 July 2024, 15:30: the reminder of 9:00 today counts as missed.
class ShotClock : public IClock {
public:
    QDateTime Now() const override { return QDateTime(QDate(2024, 7, 1), QTime(15, 30, 12)); }
};

void addAlam(int reDay, int hour, int minute, int monWeek, const QDate& date, const QString& text) {
    Alam().Add({date, text, reDay, hour, minute, monWeek});
}

void fillReminders() {
    const QDate today = Now().date();
    addAlam(ReDayOnce, 16, 30, 1, today, QStringLiteral("给张三回电话，确认订单数量"));
    addAlam(ReDayOnce, 9, 0, 1, today, QStringLiteral("上午九点的供应商会议"));
    addAlam(ReDayOnce, 10, 15, 1, today.addDays(-1), QStringLiteral("寄出李四的样品"));
    addAlam(ReDayDaily, 8, 30, 1, today, QStringLiteral("查看当天的短信回复"));
    addAlam(ReDayWeekly, 9, 0, 3, today, QStringLiteral("每周例会"));
    addAlam(ReDayWeekly, 17, 45, 7, today, QStringLiteral("整理本周客户资料"));
    addAlam(ReDayMonthly, 9, 30, 15, today, QStringLiteral("交房租"));
    Alam().MarkSeen(3);
    for (const char* text : {"明天上午给客户回电话", "准备下周的报价单", "检查短信余额"}) {
        AlamContext().Add(QString::fromUtf8(text));
    }
}

void shootEditors(const SaveShot& save) {
    TFormAddAlam editor;
    editor.edtHour->setText("16");
    editor.edtMinute->setText("30");
    editor.mmoNote->setPlainText(QStringLiteral("给张三回电话，确认订单数量"));
    editor.show();
    editor.tmr1Timer();
    save(editor, "reminder-editor-once");
    const struct {
        QRadioButton* button;
        const char* name;
        const char* day;
    } frequencies[] = {{editor.rbDay, "reminder-editor-daily", nullptr},
                       {editor.rbWeek, "reminder-editor-weekly", "3"},
                       {editor.rbMonth, "reminder-editor-monthly", "15"}};
    for (const auto& frequency : frequencies) {
        frequency.button->setChecked(true);
        if (frequency.day)
            editor.edtMonWeek->setText(frequency.day);
        save(editor, frequency.name);
    }
    editor.hide();
}

void shootPopups(const SaveShot& save) {
    const struct {
        int id;
        const char* text;
        bool repeating;
        const char* name;
    } popups[] = {{2, "上午九点的供应商会议", false, "reminder-popup-once"},
                  {4, "查看当天的短信回复", true, "reminder-popup-repeating"}};
    for (const auto& shown : popups) {
        TFormShowAlam* popup =
            ShowAlamPopup(shown.id, QString::fromUtf8(shown.text), shown.repeating, nullptr);
        popup->rollUp->setCurrentTime(popup->rollUp->duration());
        save(*popup, shown.name);
        popup->close();
    }
}

void shootPresets(const SaveShot& save) {
    TFormAlamContext list;
    list.show();
    list.lv1->setCurrentItem(list.lv1->topLevelItem(1));
    for (int tick = 0; tick < 24; ++tick)
        list.tmrHintTimer();
    save(list, "reminder-presets");
    list.hide();

    TFormAlamContextText text;
    text.mmoNote->setPlainText(QStringLiteral("月底前对账"));
    text.show();
    save(text, "reminder-preset-new");
    text.hide();
}

} // namespace

void ShootReminders(TFormMain& form, const SaveShot& save) {
    ShotClock clock;
    SetClock(&clock);
    fillReminders();
    form.pgc1->setCurrentIndex(2);
    form.alamTab->LoadList(FilterAll);
    form.alamTab->lv1->setCurrentItem(form.alamTab->lv1->topLevelItem(3));
    save(form, "reminders-list");
    shootEditors(save);
    shootPopups(save);
    shootPresets(save);
    form.pgc1->setCurrentIndex(0);
    SetClock(nullptr);
}
