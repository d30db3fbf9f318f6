#include "sms/FormSendSms.h"

#include "data/Exceptions.h"
#include "sms/FrmSmsSendWait.h"
#include "sms/SmsSettings.h"
#include "sms/SmsTextEdit.h"
#include "ui/FileDialogs.h"
#include "ui/FormWaiting.h"
#include "ui/Messages.h"
#include "util/Gbk.h"

#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>

namespace {

// A text file of numbers in UTF-8, or else in GBK.
QString readNumberFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("无法读取文件 %1：%2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = FromGbk(bytes);
    return text.remove('\r');
}

} // namespace

TFormSendSms::TFormSendSms(QWidget* parent)
    : TFormBaseDlg(parent), mmoText(new TSmsTextEdit),
      LabTextcount(new QLabel(QStringLiteral("字数：0"))), mmoTel(new QPlainTextEdit),
      LabTelCount(new QLabel(QStringLiteral("号码数量：0"))),
      btnIn(new QPushButton(QStringLiteral("从文本文件导入"))), prepared(SmsGateway().Recipients) {
    setWindowTitle(QStringLiteral("发送短信"));
    btnOK->setText(QStringLiteral("确定发送(&O)"));
    btnCancel->setText(QStringLiteral("取消发送(&C)"));
    resize(560, 360);

    auto* textBox = new QGroupBox(QStringLiteral("发送内容"));
    auto* textLayout = new QVBoxLayout(textBox);
    textLayout->addWidget(mmoText, 1);
    textLayout->addWidget(LabTextcount);

    auto* telBox = new QGroupBox(QStringLiteral("手机号码"));
    auto* telLayout = new QVBoxLayout(telBox);
    mmoTel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    telLayout->addWidget(mmoTel, 1);
    telLayout->addWidget(LabTelCount);
    telLayout->addWidget(new QLabel(QStringLiteral("一行一个手机号码")));
    telLayout->addWidget(btnIn);

    auto* layout = new QHBoxLayout(pnlBody);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(textBox, 3);
    layout->addWidget(telBox, 2);

    mmoText->WatchByteCount(LabTextcount);
    WatchNumberList(mmoTel, LabTelCount);
    connect(btnIn, &QPushButton::clicked, this, &TFormSendSms::btnInClick);

    mmoText->setPlainText(SmsParams().MySend);
    mmoTel->setPlainText(NumberListText(prepared));
}

void TFormSendSms::btnInClick() {
    const QString path = ChooseOpenFile(this, QStringLiteral("从文本文件导入"), QString());
    if (!path.isEmpty())
        mmoTel->setPlainText(readNumberFile(path));
}

void TFormSendSms::btnOKClick() {
    const QString message = mmoText->toPlainText().trimmed();
    if (message.isEmpty())
        Fail(QStringLiteral("发送内容不能为空！"));
    if (mmoTel->toPlainText().trimmed().isEmpty())
        Fail(QStringLiteral("发送号码不能为空！"));
    if (const QString character = FirstCharacterOutsideGbk(message); !character.isEmpty())
        Fail(QStringLiteral("发送内容中的字符“%1”不能用短信发送，请删除后再发送！").arg(character));
    TVoskSms& gateway = SmsGateway();
    gateway.MessageText = message;
    gateway.StartBatch(MatchNames(NumberLines(mmoTel->toPlainText()), prepared));
    accept();
}

int ShowSendSmsDialog(const QList<TSmsRecipient>& batch) {
    SmsGateway().StartBatch(batch);
    TFormSendSms dialog;
    const int result = dialog.exec();
    if (result == QDialog::Accepted)
        ShowSendMonitor();
    return result;
}

void ShowSendMonitor() {
    TFrmSmsSendWait monitor;
    monitor.exec();
}

void StartSmsSending(const QString& offText,
                     const std::function<QList<TSmsRecipient>()>& gatherRecipients) {
    const TVoskSms& gateway = SmsGateway();
    if (!gateway.SmsOn) {
        ShowInfo(offText);
        return;
    }
    if (gateway.ConnState == 0) {
        ShowInfo(QStringLiteral("短信设备没有正确连接！"));
        return;
    }
    QList<TSmsRecipient> recipients;
    ShowWaiting(QStringLiteral("正在取得发送数据，请稍候..."));
    try {
        recipients = gatherRecipients();
    } catch (...) {
        HideWaiting();
        throw;
    }
    HideWaiting();
    ShowSendSmsDialog(recipients);
}
