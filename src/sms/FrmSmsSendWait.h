#pragma once

#include "ui/FirstShow.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// Sends the gateway's batch, one message a second, with live counters; pauses and resumes,
// abandons (by closing), lists the failed numbers and sends again to a list.
class TFrmSmsSendWait : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSmsSendWait(QWidget* parent = nullptr);

    void ShowCounters();
    // One tick of the sending timer. A message that cannot be kept in the history is not sent:
    // the error is shown and the batch pauses, to go on with "开始发送".
    void Timer1Timer();
    void ButPauseClick();
    void Button2Click();
    void Button3Click();

    QLabel* LabSmsWait;
    QLabel* LabAll;
    QLabel* LabCount;
    QLabel* Lableft;
    QLabel* LabOk;
    QLabel* LabAbort;
    QPlainTextEdit* mmoTel;
    QLabel* LabTelCount;
    QPushButton* ButPause;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QTimer* Timer1;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* createCounters();
    QWidget* createFailureList();
    QWidget* createButtons();
    void pause();

    TFirstShow firstShow;
};
