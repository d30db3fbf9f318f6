#include "sms/FormSmsLog.h"

#include "customers/ExcelExport.h"
#include "data/Clock.h"
#include "sms/FormSendSms.h"
#include "sms/SmsLog.h"
#include "sms/SmsLogGrid.h"
#include "ui/ExceptionHandler.h"
#include "ui/Messages.h"
#include "ui/WindowPlacement.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QDateEdit* DayPicker(const QDate& day, QWidget* parent) {
    auto* picker = new QDateEdit(day, parent);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    return picker;
}

} // namespace

TFormSmsLog::TFormSmsLog(QWidget* parent)
    : QDialog(parent ? parent : MainWindow()), grdLog(new TSmsLogGrid(this)),
      stat1(new QStatusBar(this)), labCount(new QLabel(stat1)) {
    setWindowTitle(QStringLiteral("短信记录"));
    grdLog->setAccessibleName(QStringLiteral("短信记录"));
    stat1->setSizeGripEnabled(false);
    stat1->addWidget(labCount, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(createFilter());
    layout->addWidget(grdLog, 1);
    layout->addWidget(stat1);
    layout->addWidget(createButtons());
    resize(900, 540);
}

QWidget* TFormSmsLog::createFilter() {
    auto* box = new QWidget(this);
    dtpFrom = DayPicker(SmsLog().FirstDay(), box);
    dtpTo = DayPicker(Now().date(), box);
    edtText = new QLineEdit(box);
    edtText->setAccessibleName(QStringLiteral("包含文字"));
    edtText->setToolTip(QStringLiteral("姓名、手机号码或短信内容中含有的文字"));
    cbbState = new QComboBox(box);
    cbbState->addItems(SmsLogStateNames());
    cbbState->setAccessibleName(QStringLiteral("状态"));
    btnQuery = new QPushButton(QStringLiteral("查询"), box);
    btnQuery->setAutoDefault(false);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("日期从"), box));
    row->addWidget(dtpFrom);
    row->addWidget(new QLabel(QStringLiteral("到"), box));
    row->addWidget(dtpTo);
    row->addWidget(new QLabel(QStringLiteral("包含"), box));
    row->addWidget(edtText, 1);
    row->addWidget(new QLabel(QStringLiteral("状态"), box));
    row->addWidget(cbbState);
    row->addWidget(btnQuery);
    ConnectHandled(btnQuery, &QPushButton::clicked, this, &TFormSmsLog::btnQueryClick);
    connect(edtText, &QLineEdit::returnPressed, btnQuery, &QPushButton::click);
    return box;
}

QWidget* TFormSmsLog::createButtons() {
    auto* box = new QWidget(this);
    btnExport = new QPushButton(QStringLiteral("导出Excel"), box);
    btnResend = new QPushButton(QStringLiteral("重发失败"), box);
    btnResend->setToolTip(QStringLiteral("把所选短信中发送失败或未送达的号码重新发送"));
    btnClose = new QPushButton(QStringLiteral("关闭"), box);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    for (QPushButton* button : {btnExport, btnResend, btnClose}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    ConnectHandled(btnExport, &QPushButton::clicked, this, &TFormSmsLog::btnExportClick);
    ConnectHandled(btnResend, &QPushButton::clicked, this, &TFormSmsLog::btnResendClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    return box;
}

void TFormSmsLog::btnQueryClick() {
    TSmsLogFilter filter;
    filter.From = dtpFrom->date();
    filter.To = dtpTo->date();
    filter.Text = edtText->text();
    filter.State = TSmsLogState(cbbState->currentIndex());
    grdLog->Load([&filter](TDataSet& rows) { SmsLog().OpenHistory(rows, filter); });
    labCount->setText(QStringLiteral("短信数量：%1").arg(grdLog->Count()));
}

QString TFormSmsLog::CountText() const {
    return labCount->text();
}

void TFormSmsLog::btnExportClick() {
    ExportGridToExcel(grdLog);
}

void TFormSmsLog::btnResendClick() {
    const QList<qint64> selected = grdLog->SelectedIds();
    if (selected.isEmpty()) {
        ShowInfo(QStringLiteral("请先选择要重发的短信！"));
        return;
    }
    const QList<TSmsRecipient> failed = SmsLog().FailedRecipients(selected);
    if (failed.isEmpty()) {
        ShowInfo(QStringLiteral("所选的短信中没有发送失败或未送达的短信！"));
        return;
    }
    StartSmsSending(QStringLiteral("请在系统设置菜单中选择短信设置，正确设置相关信息！"),
                    [failed] { return failed; });
    btnQueryClick();
}

void ShowSmsLogDialog() {
    TFormSmsLog dialog;
    if (RunHandled(&dialog, [&dialog] { dialog.btnQueryClick(); }))
        dialog.exec();
}
