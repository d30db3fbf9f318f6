#include "sms/FrmSmsSendWait.h"

#include "data/Exceptions.h"
#include "sms/SmsGateway.h"
#include "sms/SmsTextEdit.h"
#include "ui/ExceptionHandler.h"
#include "ui/Messages.h"
#include "ui/WindowPlacement.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kTickMs = 1000;
const QString kSending = QStringLiteral("正在发送短信，请等待...");
const QString kPause = QStringLiteral("暂停发送");

} // namespace

TFrmSmsSendWait::TFrmSmsSendWait(QWidget* parent)
    : QDialog(parent ? parent : MainWindow(), Qt::Dialog | Qt::CustomizeWindowHint |
                                                  Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                                  Qt::WindowStaysOnTopHint),
      Timer1(new QTimer(this)) {
    setWindowTitle(QStringLiteral("短信发送详细信息"));
    auto* left = new QVBoxLayout;
    left->addWidget(createCounters());
    left->addWidget(createFailureList(), 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(createButtons());
    resize(420, 380);

    Timer1->setInterval(kTickMs);
    connect(Timer1, &QTimer::timeout, this, &TFrmSmsSendWait::Timer1Timer);
    Timer1->start();
}

QWidget* TFrmSmsSendWait::createCounters() {
    auto* box = new QGroupBox(QStringLiteral("显示信息"), this);
    LabSmsWait = new QLabel(kSending, box);
    LabSmsWait->setStyleSheet("color: blue");
    auto* grid = new QGridLayout(box);
    grid->addWidget(LabSmsWait, 0, 0, 1, 4);
    const auto addCounter = [box, grid](int row, int column, const QString& caption) {
        auto* value = new QLabel(QStringLiteral("0"), box);
        grid->addWidget(new QLabel(caption, box), row, column);
        grid->addWidget(value, row, column + 1);
        return value;
    };
    LabAll = addCounter(1, 0, QStringLiteral("发送总数"));
    LabCount = addCounter(2, 0, QStringLiteral("已  发  送"));
    Lableft = addCounter(2, 2, QStringLiteral("未  发 送"));
    LabOk = addCounter(3, 0, QStringLiteral("发送成功"));
    LabAbort = addCounter(3, 2, QStringLiteral("发送失败"));
    return box;
}

QWidget* TFrmSmsSendWait::createFailureList() {
    auto* box = new QGroupBox(QStringLiteral("失败明细"), this);
    mmoTel = new QPlainTextEdit(box);
    mmoTel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LabTelCount = new QLabel(box);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(mmoTel, 1);
    layout->addWidget(LabTelCount);
    WatchNumberList(mmoTel, LabTelCount);
    return box;
}

QWidget* TFrmSmsSendWait::createButtons() {
    auto* column = new QWidget(this);
    ButPause = new QPushButton(kPause, column);
    Button1 = new QPushButton(QStringLiteral("取消发送"), column);
    Button2 = new QPushButton(QStringLiteral("失败明细"), column);
    Button3 = new QPushButton(QStringLiteral("重新发送"), column);
    auto* layout = new QVBoxLayout(column);
    for (QPushButton* button : {ButPause, Button1, Button2, Button3}) {
        button->setAutoDefault(false);
        layout->addWidget(button);
    }
    layout->addStretch();
    connect(ButPause, &QPushButton::clicked, this, &TFrmSmsSendWait::ButPauseClick);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button2, &QPushButton::clicked, this, &TFrmSmsSendWait::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TFrmSmsSendWait::Button3Click);
    return column;
}

// Restoring the window from the taskbar shows it again; only the first showing sends, so a
// pause holds until "开始发送".
void TFrmSmsSendWait::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ShowCounters();
    if (!firstShow())
        return;
    CentreOverMainWindow(*this);
    Timer1->start();
}

// Esc would end the batch unasked: only "取消发送" and the close box end it.
void TFrmSmsSendWait::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFrmSmsSendWait::done(int result) {
    Timer1->stop();
    QDialog::done(result);
}

void TFrmSmsSendWait::ShowCounters() {
    const TVoskSms& gateway = SmsGateway();
    LabAll->setNum(gateway.Total);
    LabCount->setNum(gateway.Sent);
    Lableft->setNum(gateway.Left);
    LabOk->setNum(gateway.Succeeded);
    LabAbort->setNum(gateway.Failed);
}

void TFrmSmsSendWait::Timer1Timer() {
    TVoskSms& gateway = SmsGateway();
    if (gateway.Finished) {
        LabSmsWait->setText(QStringLiteral("发送完成！"));
        Timer1->stop();
        return;
    }
    if (gateway.Busy)
        return;
    // A message that could not be kept: the batch waits, paused before the error shows,
    // until the user goes on.
    RunHandled(this, [this, &gateway] {
        try {
            gateway.SendNext();
        } catch (...) {
            pause();
            ShowCounters();
            throw;
        }
    });
    ShowCounters();
}

void TFrmSmsSendWait::ButPauseClick() {
    if (ButPause->text() != kPause) {
        ButPause->setText(kPause);
        Timer1->start();
    } else {
        pause();
    }
}

void TFrmSmsSendWait::pause() {
    ButPause->setText(QStringLiteral("开始发送"));
    Timer1->stop();
}

void TFrmSmsSendWait::Button2Click() {
    mmoTel->setPlainText(NumberListText(SmsGateway().Failures));
}

void TFrmSmsSendWait::Button3Click() {
    TVoskSms& gateway = SmsGateway();
    if (!gateway.Finished) {
        ShowInfo(QStringLiteral("信息正在发送中，请发送完成后在重新发送！"));
        return;
    }
    if (mmoTel->toPlainText().trimmed().isEmpty())
        Fail(QStringLiteral("发送号码不能为空！"));
    gateway.StartBatch(MatchNames(NumberLines(mmoTel->toPlainText()), gateway.Failures));
    ShowCounters();
    LabSmsWait->setText(kSending);
    mmoTel->clear();
    Timer1->start();
}
