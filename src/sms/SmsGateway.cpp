#include "sms/SmsGateway.h"

#include "data/Messages.h"
#include "sms/SmsSettings.h"
#include "util/Gbk.h"

#include <QApplication>
#include <QHash>
#include <QQueue>

namespace {

using ConnectFunction = int (*)(const char*, int, int, int*, int*);
using SendFunction = int (*)(const char*, const char*);
using DisconnectFunction = void (*)();
using AccountSendFunction = const char* (*)(const char*, const char*, const char*, const char*,
                                            const char*, const char*);
using BalanceFunction = const char* (*)(const char*, const char*);
using PasswordFunction = const char* (*)(const char*, const char*, const char*);

// The text the modem library expects as its first argument: 47 bytes.
constexpr char kModemIdentification[] = "HESEN-CUSTOMER-MANAGER-SMS-MODEM-LINK-V1.0-0047";
static_assert(sizeof kModemIdentification == 48);
constexpr int kLineSpeed = 9600;
const QString kAccepted = QStringLiteral("000");

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Busy for the whole of a step, message boxes included.
class BusyStep {
public:
    explicit BusyStep(bool& busy) : busy(busy) { busy = true; }
    ~BusyStep() { busy = false; }
    BusyStep(const BusyStep&) = delete;
    BusyStep& operator=(const BusyStep&) = delete;

private:
    bool& busy;
};

QString reply(const char* text) {
    return text ? FromGbk(QByteArray(text)) : QString();
}

} // namespace

TVoskSms::TVoskSms()
    : modem("libsms.so", {"Sms_Connection", "Sms_Send", "Sms_Disconnection"}),
      account("libwinsms.so", {"Sendsms", "Remoney", "Editpwd"}) {}

void TVoskSms::ConnectModem(int port) {
    ConnState = -1;
    if (SmsParams().Morzh != 0 || !SmsOn)
        return;
    const auto connect = modem.Get<ConnectFunction>("Sms_Connection");
    if (!connect) {
        ConnState = 0;
        return;
    }
    int unused1 = 0;
    int unused2 = 0;
    {
        WaitCursor wait;
        ConnState = connect(kModemIdentification, port, kLineSpeed, &unused1, &unused2);
    }
    if (ConnState == 0)
        ShowInfo(QStringLiteral("没有检测到短信猫，请确定端口设置正确或者已经接上设备！"));
}

void TVoskSms::DisconnectModem() {
    if (!SmsOn || ConnState == 0 || SmsParams().Morzh != 0 || !modem.IsLoaded())
        return;
    if (const auto disconnect = modem.Get<DisconnectFunction>("Sms_Disconnection")) {
        WaitCursor wait;
        disconnect();
    }
}

void TVoskSms::Reset(int n) {
    StartBatch(QList<TSmsRecipient>(n));
}

void TVoskSms::StartBatch(const QList<TSmsRecipient>& rows) {
    Recipients = rows;
    Total = static_cast<int>(rows.size());
    Sent = 0;
    Left = Total;
    Succeeded = 0;
    Failed = 0;
    Failures.clear();
    Busy = false;
    Finished = false;
}

void TVoskSms::SendNext() {
    BusyStep step(Busy);
    if (Left <= 0) {
        Finished = true;
        return;
    }
    const TSmsRecipient recipient = Recipients.value(Sent);
    ++Sent;
    --Left;
    const QString text = PersonalText(MessageText, recipient.Name);
    if (SmsParams().Morzh == 0)
        sendByModem(recipient, text);
    else
        sendByAccount(recipient.Number, text);
    if (Sent >= Total)
        Finished = true;
}

void TVoskSms::sendByModem(const TSmsRecipient& recipient, const QString& text) {
    int result = 0;
    if (const auto send = modem.Get<SendFunction>("Sms_Send")) {
        WaitCursor wait;
        result = send(ToGbk(recipient.Number).constData(), ToGbk(text).constData());
    }
    if (result == 1) {
        ++Succeeded;
        return;
    }
    ++Failed;
    Failures.append(recipient);
}

void TVoskSms::sendByAccount(const QString& number, const QString& text) {
    const auto send = account.Get<AccountSendFunction>("Sendsms");
    if (!send) {
        stopBatch();
        return;
    }
    QString code;
    {
        WaitCursor wait;
        const TSmsParamet& params = SmsParams();
        code = reply(send(ToGbk(params.Zh).constData(), ToGbk(params.ZhPass).constData(),
                          ToGbk(number).constData(), ToGbk(text).constData(), "", ""))
                   .left(3);
    }
    if (code == kAccepted) {
        ++Succeeded;
        return;
    }
    stopBatch();
    ShowErrorText(ResultText(code));
}

// The row being sent and every one after it go to Failures; the row counts as not sent.
void TVoskSms::stopBatch() {
    Failed = Total - Succeeded;
    Failures = Recipients.mid(Succeeded);
    Finished = true;
    --Sent;
    ++Left;
}

QString TVoskSms::ResultText(const QString& code) {
    static const QHash<QString, QString> texts = {
        {"000", QStringLiteral("短信返回成功！")},
        {"-01", QStringLiteral("当前短信账号余额不足！")},
        {"-02", QStringLiteral("当前短信用户ID错误！")},
        {"-03", QStringLiteral("当前短信用户的密码错误！")},
        {"-04", QStringLiteral("短信参数不够或参数类型错误")},
        {"-05", QStringLiteral("手机号码格式不对！")},
        {"-06", QStringLiteral("短信内容编码不对！")},
        {"-07", QStringLiteral("短信内容含有敏感字符！")},
        {"-08", QStringLiteral("无接收数据！")},
        {"-09", QStringLiteral("短信系统维护中..")},
        {"-10", QStringLiteral("手机号码数量超长！")},
        {"-11", QStringLiteral("短信内容超长！")},
        {"-12", QStringLiteral("其它错误！")},
    };
    return texts.value(code, QStringLiteral("其他未知捕获信息，请先检查网络") + code);
}

void TVoskSms::ShowBalance(const QString& accountName, const QString& password) {
    const auto balance = account.Get<BalanceFunction>("Remoney");
    if (!balance)
        return;
    QString answer;
    {
        WaitCursor wait;
        answer = reply(balance(ToGbk(accountName).constData(), ToGbk(password).constData()));
    }
    if (answer.startsWith('-'))
        ShowInfo(ResultText(answer.left(3)));
    else
        ShowInfo(QStringLiteral("剩余金额:  ") + answer + QStringLiteral("  元"));
}

bool TVoskSms::ChangePassword(const QString& accountName, const QString& oldPassword,
                              const QString& newPassword) {
    const auto change = account.Get<PasswordFunction>("Editpwd");
    if (!change)
        return false;
    QString code;
    {
        WaitCursor wait;
        code = reply(change(ToGbk(accountName).constData(), ToGbk(oldPassword).constData(),
                            ToGbk(newPassword).constData()))
                   .left(3);
    }
    if (code == kAccepted)
        return true;
    ShowInfo(ResultText(code));
    return false;
}

void TVoskSms::ReleaseLibraries() {
    modem.Unload();
    account.Unload();
}

TVoskSms& SmsGateway() {
    static TVoskSms gateway;
    return gateway;
}

QString PersonalText(const QString& message, const QString& name) {
    return QString(message).replace(QStringLiteral("@Name"), name, Qt::CaseSensitive);
}

QList<TSmsRecipient> MatchNames(const QStringList& numbers, const QList<TSmsRecipient>& prepared) {
    QHash<QString, QQueue<QString>> namesByNumber;
    for (const TSmsRecipient& recipient : prepared)
        namesByNumber[recipient.Number].enqueue(recipient.Name);
    QList<TSmsRecipient> rows;
    for (const QString& number : numbers) {
        QQueue<QString>& names = namesByNumber[number];
        rows.append({names.isEmpty() ? QString() : names.dequeue(), number});
    }
    return rows;
}

QString NumberListText(const QList<TSmsRecipient>& recipients) {
    QStringList numbers;
    for (const TSmsRecipient& recipient : recipients)
        numbers << recipient.Number;
    QString text = numbers.join('\n');
    // A last line break only ends the line before it, so a blank last number needs its own.
    if (!numbers.isEmpty() && numbers.last().isEmpty())
        text += '\n';
    return text;
}
