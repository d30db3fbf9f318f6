#pragma once

#include "sms/SmsGateway.h"
#include "ui/FormBaseDlg.h"

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TSmsTextEdit;

// The composition of a batch: the message (with its GBK byte count) beside the editable number
// list. OK checks both, stores the message and rebuilds the gateway's batch from the list,
// keeping the names of the prepared recipients.
class TFormSendSms : public TFormBaseDlg {
    Q_OBJECT
public:
    explicit TFormSendSms(QWidget* parent = nullptr);

    void btnInClick();

    TSmsTextEdit* mmoText;
    QLabel* LabTextcount;
    QPlainTextEdit* mmoTel;
    QLabel* LabTelCount;
    QPushButton* btnIn;

protected:
    void btnOKClick() override;

private:
    QList<TSmsRecipient> prepared;
};

// Puts the prepared recipients into the gateway's batch and opens the composition; on OK the
// batch monitor follows. Returns the composition's result.
int ShowSendSmsDialog(const QList<TSmsRecipient>& batch);
void ShowSendMonitor();

// A send command from start to end: with SMS off, offText is shown; without a connected modem,
// "短信设备没有正确连接！"; otherwise the recipients are gathered under the waiting window and
// handed to ShowSendSmsDialog.
void StartSmsSending(const QString& offText,
                     const std::function<QList<TSmsRecipient>()>& gatherRecipients);
