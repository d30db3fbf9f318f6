#include "SmsShots.h"

#include "sms/FormSendSms.h"
#include "sms/FormSmsSettings.h"
#include "sms/FrmSmsSendWait.h"
#include "sms/SmsGateway.h"
#include "sms/SmsSettings.h"

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

} // namespace

void ShootSms(const SaveShot& save) {
    shootSettings(save);
    shootComposition(save);
    shootMonitor(save);
}
