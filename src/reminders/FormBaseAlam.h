#pragma once

#include "reminders/Alam.h"
#include "ui/FirstShow.h"
#include "ui/FormBaseDlg.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// The reminder editor shared by "新建提醒" and "修改提醒": a live clock, the hour and minute,
// the frequency with its date or day, and the text.
class TFormBaseAlam : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormBaseAlam(QWidget* parent = nullptr);

    void tmr1Timer();
    void rbOnlyClick();
    void rbDayClick();
    void rbWeekClick();
    void rbMonthClick();
    void btnAlamContextClick();
    // Refuses a blank text and, for "只一次", a moment before now.
    void CheckInput() const;
    int SelectedReDay() const;

    QLabel* LabNow;
    QLabel* LabLabWeeks;
    QLineEdit* edtHour;
    QLineEdit* edtMinute;
    QLabel* LabDay;
    QDateEdit* DBDay;
    QRadioButton* rbOnly;
    QRadioButton* rbDay;
    QRadioButton* rbWeek;
    QRadioButton* rbMonth;
    QLabel* LabMonWord;
    QLineEdit* edtMonWeek;
    QLabel* LabModWordAlam;
    QPlainTextEdit* mmoNote;
    QPushButton* btnAlamContext;
    QTimer* tmr1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The reminder as the boxes hold it.
    TAlamRecord Record() const;
    virtual void FormShow();

private:
    void showDayRow(const QString& before, const QString& after, const QString& digits,
                    int maxLength);
    void showDate(bool visible);

    TFirstShow firstShow;
};

class TFormAddAlam : public TFormBaseAlam {
    Q_OBJECT
public:
    explicit TFormAddAlam(QWidget* parent = nullptr);
    void btnOKClick() override;
};

class TFormModAlam : public TFormBaseAlam {
    Q_OBJECT
public:
    explicit TFormModAlam(int id, QWidget* parent = nullptr);
    void btnOKClick() override;

    const int Id;

protected:
    void FormShow() override;
};

// "星期日" … "星期六".
QString WeekDayName(const QDate& date);

// Each opens a fresh modal editor and returns its result (QDialog::Accepted is OK).
int ShowAddAlamDialog();
int ShowModAlamDialog(int id);
