#include "SmsShots.h"

#include "customers/FormCustomer.h"
#include "data/Clock.h"
#include "sms/FormSendSms.h"
#include "sms/FormSmsLog.h"
#include "sms/FormSmsSettings.h"
#include "sms/FrmSmsSendWait.h"
#include "sms/SmsGateway.h"
#include "sms/SmsLog.h"
#include "sms/SmsSettings.h"

#include <QTabWidget>
#include <QTimer>

namespace {

void shootSettings(const SaveShot& save) {
    TSmsParamet& params = SmsParams();
    params.SmsSelend = true;
    params.MySend = QStringLiteral("@Name您好，本店新品已到，欢迎光临！");
    for (int mode : {0, 1}) {
        params.Morzh = mode;
        TFormSMSCSSZ dialog;
        dialog.show();
        save(dialog, mode == 0 ? "sms-settings-modem" : "sms-settings-account");
    }
}

void shootComposition(const SaveShot& save) {
    SmsGateway().StartBatch({{QStringLiteral("张三"), "13800138000"},
                             {QStringLiteral("李四"), "13900139000"},
                             {QStringLiteral("王五"), "13700137000"}});
    TFormSendSms dialog;
    dialog.show();
    save(dialog, "sms-compose");
}

void shootMonitor(const SaveShot& save) {
    TVoskSms& gateway = SmsGateway();
    gateway.StartBatch({{QStringLiteral("张三"), "13800138000"},
                        {QStringLiteral("李四"), "13900139000"},
                        {QStringLiteral("王五"), "13700137000"},
                        {QString(), "13600136000"},
                        {QString(), "13500135000"}});
    TFrmSmsSendWait monitor;
    monitor.show();
    monitor.Timer1->stop(); // no library here: the counters are set by hand
    gateway.Sent = gateway.Succeeded = 2;
    gateway.Left = 3;
    monitor.ShowCounters();
    save(monitor, "sms-monitor-sending");

    gateway.Sent = 5;
    gateway.Left = 0;
    gateway.Succeeded = 4;
    gateway.Failed = 1;
    gateway.Failures = {gateway.Recipients[3]};
    gateway.Finished = true;
    monitor.ShowCounters();
    monitor.Timer1Timer();
    monitor.Button2Click();
    save(monitor, "sms-monitor-finished");
}

// Kept messages of the sample customers (FillCustomerSamples) in every state.
void keepSampleMessages() {
    struct Sample {
        TSmsRecipient to;
        TSmsWay way;
        bool accepted;
        int reference; // the modem's; its report follows when it is set
        TDeliveryReport::State report;
    };
    const QString offer = QStringLiteral("%1您好，本店新品已到，欢迎光临！");
    const QList<Sample> samples = {
        {{QStringLiteral("张三"), "13800138000", "S1"},
         TSmsWay::Modem,
         true,
         11,
         TDeliveryReport::State::Delivered},
        {{QStringLiteral("李四"), "13912345678", "S2"},
         TSmsWay::Modem,
         true,
         12,
         TDeliveryReport::State::Failed},
        {{QStringLiteral("王五"), "13700001111", "S3"},
         TSmsWay::Modem,
         true,
         13,
         TDeliveryReport::State::Pending},
        {{QString(), "13600136000"}, TSmsWay::Modem, false, -1, TDeliveryReport::State::Pending},
        {{QStringLiteral("张三"), "13800138000", "S1"},
         TSmsWay::Account,
         true,
         -1,
         TDeliveryReport::State::Pending},
    };
    QList<TDeliveryReport> reports;
    QDateTime sent = Now();
    for (const Sample& sample : samples) {
        SmsLog().NewBatch();
        const qint64 id = SmsLog().WriteSending(sample.to, offer.arg(sample.to.Name), sample.way);
        TSendOutcome outcome;
        outcome.Accepted = sample.accepted;
        outcome.Result = sample.way == TSmsWay::Account ? "000" : sample.accepted ? "1" : "0";
        outcome.Reply = sample.way == TSmsWay::Account ? "000" : QString();
        outcome.ReportsAsked = sample.way == TSmsWay::Modem;
        if (sample.reference >= 0)
            outcome.References = {sample.reference};
        SmsLog().WriteOutcome(id, sample.way, outcome);
        if (sample.reference >= 0)
            reports.append({sample.reference, sample.report, 0, sample.to.Number,
                            sent.addSecs(40).toString("yyyy-MM-dd hh:mm:ss")});
        sent = sent.addSecs(60);
    }
    SmsLog().ApplyReports(reports);
}

void shootHistory(const SaveShot& save) {
    keepSampleMessages();
    TFormSmsLog history;
    history.btnQueryClick();
    history.show();
    save(history, "sms-history");

    TFormModCustomer editor;
    editor.Guid = "S1";
    editor.show();
    editor.pgcCustomer->setCurrentWidget(editor.tsSms);
    save(editor, "customer-sms-page");
}

} // namespace

void ShootSms(const SaveShot& save) {
    shootSettings(save);
    shootComposition(save);
    shootMonitor(save);
    shootHistory(save);
}
