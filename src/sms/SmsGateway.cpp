#include "sms/SmsGateway.h"

#include "data/Log.h"
#include "sms/SmsSettings.h"
#include "ui/Messages.h"
#include "util/Gbk.h"

#include <QApplication>
#include <QDateTime>
#include <QHash>
#include <QQueue>
#include <QTimeZone>

#include <algorithm>
#include <cstring>

namespace {

using ConnectFunction = int (*)(const char*, int, int, int*, int*);
using SendFunction = int (*)(const char*, const char*);
using DisconnectFunction = void (*)();
using AccountSendFunction = const char* (*)(const char*, const char*, const char*, const char*,
                                            const char*, const char*);
using BalanceFunction = const char* (*)(const char*, const char*);
using PasswordFunction = const char* (*)(const char*, const char*, const char*);

// The modem library's delivery reports, as its header lays them out.
struct ModemStatusReport {
    int reference;
    int state; // 0 delivered, 1 still pending, 2 failed
    int networkStatus;
    int zoneMinutes;
    char recipient[24];
    char dischargeTime[20];
};
using SendWithReferencesFunction = int (*)(const char*, const char*, int*, int, int*);
using ReadReportsFunction = int (*)(ModemStatusReport*, int);
constexpr int kMostParts = 255;
constexpr int kReportsAtOnce = 64;
// Reports waiting for the data file beyond this many are dropped, oldest first.
constexpr int kMostUnrecorded = 10000;

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

QString FixedText(const char* text, size_t size) {
    return QString::fromLatin1(text, qsizetype(strnlen(text, size)));
}

// The network's time in the zone it gave, as the local time of this computer.
QString LocalTime(const ModemStatusReport& report) {
    const QDateTime stamp =
        QDateTime::fromString(FixedText(report.dischargeTime, sizeof report.dischargeTime),
                              QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!stamp.isValid())
        return QString();
    return QDateTime(stamp.date(), stamp.time(), QTimeZone(report.zoneMinutes * 60))
        .toLocalTime()
        .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

TDeliveryReport ToDeliveryReport(const ModemStatusReport& report) {
    TDeliveryReport converted;
    converted.Reference = report.reference;
    converted.Outcome = report.state == 0   ? TDeliveryReport::State::Delivered
                        : report.state == 1 ? TDeliveryReport::State::Pending
                                            : TDeliveryReport::State::Failed;
    converted.NetworkStatus = report.networkStatus;
    converted.Recipient = FixedText(report.recipient, sizeof report.recipient);
    converted.Time = LocalTime(report);
    return converted;
}

} // namespace

TVoskSms::TVoskSms()
    : modem("libsms.so", {"Sms_Connection", "Sms_Send", "Sms_Disconnection"},
            {"Sms_SendWithReferences", "Sms_ReadReports"}),
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
    SmsLog().NewBatch();
}

void TVoskSms::SendNext() {
    BusyStep step(Busy);
    if (Left <= 0) {
        Finished = true;
        return;
    }
    const TSmsRecipient recipient = Recipients.value(Sent);
    const QString text = PersonalText(MessageText, recipient.Name);
    const TSmsWay way = SmsParams().Morzh == 0 ? TSmsWay::Modem : TSmsWay::Account;
    // Nothing goes out that is not kept.
    const qint64 row = SmsLog().WriteSending(recipient, text, way);
    ++Sent;
    --Left;
    const TSendOutcome outcome = way == TSmsWay::Modem ? sendByModem(recipient, text)
                                                       : sendByAccount(recipient.Number, text);
    if (Sent >= Total)
        Finished = true;
    SmsLog().WriteOutcome(row, way, outcome);
    if (way == TSmsWay::Account && !outcome.Accepted && !outcome.Result.isEmpty())
        ShowErrorText(ResultText(outcome.Result));
}

TSendOutcome TVoskSms::sendByModem(const TSmsRecipient& recipient, const QString& text) {
    TSendOutcome outcome;
    const QByteArray number = ToGbk(recipient.Number);
    const QByteArray message = ToGbk(text);
    int result = 0;
    if (const auto send = modem.Get<SendWithReferencesFunction>("Sms_SendWithReferences")) {
        int references[kMostParts];
        int accepted = 0;
        {
            WaitCursor wait;
            result =
                send(number.constData(), message.constData(), references, kMostParts, &accepted);
        }
        outcome.ReportsAsked = true;
        for (int part = 0; part < std::clamp(accepted, 0, kMostParts); ++part)
            outcome.References << references[part];
        if (result != 1 && accepted > 0)
            outcome.Reply = QStringLiteral("已发出 %1 部分").arg(accepted);
    } else if (const auto send = modem.Get<SendFunction>("Sms_Send")) {
        WaitCursor wait;
        result = send(number.constData(), message.constData());
    }
    outcome.Result = QString::number(result);
    outcome.Accepted = result == 1;
    if (outcome.Accepted) {
        ++Succeeded;
        return outcome;
    }
    ++Failed;
    Failures.append(recipient);
    return outcome;
}

// A refusal stops the batch; the caller shows the reply's text once the row is complete.
TSendOutcome TVoskSms::sendByAccount(const QString& number, const QString& text) {
    TSendOutcome outcome;
    const auto send = account.Get<AccountSendFunction>("Sendsms");
    if (!send) {
        stopBatch();
        return outcome;
    }
    {
        WaitCursor wait;
        const TSmsParamet& params = SmsParams();
        outcome.Reply = reply(send(ToGbk(params.Zh).constData(), ToGbk(params.ZhPass).constData(),
                                   ToGbk(number).constData(), ToGbk(text).constData(), "", ""));
    }
    outcome.Result = outcome.Reply.left(3);
    outcome.Accepted = outcome.Result == kAccepted;
    if (outcome.Accepted)
        ++Succeeded;
    else
        stopBatch();
    return outcome;
}

void TVoskSms::PollReports() {
    if (Busy || !SmsOn || SmsParams().Morzh != 0 || ConnState == 0)
        return;
    unrecorded += readReports();
    if (unrecorded.isEmpty())
        return;
    try {
        SmsLog().ApplyReports(unrecorded);
        unrecorded.clear();
    } catch (const std::exception& error) {
        if (unrecorded.size() > kMostUnrecorded)
            unrecorded.remove(0, unrecorded.size() - kMostUnrecorded);
        WriteLog(QStringLiteral("短信回执暂时无法写入短信记录，下次再试：") +
                 QString::fromUtf8(error.what()));
    }
}

QList<TDeliveryReport> TVoskSms::readReports() {
    QList<TDeliveryReport> reports;
    const auto read = modem.Loaded<ReadReportsFunction>("Sms_ReadReports");
    if (!read)
        return reports;
    ModemStatusReport batch[kReportsAtOnce];
    for (int count = kReportsAtOnce; count == kReportsAtOnce;) {
        count = std::clamp(read(batch, kReportsAtOnce), 0, kReportsAtOnce);
        for (int i = 0; i < count; ++i)
            reports << ToDeliveryReport(batch[i]);
    }
    return reports;
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
    QHash<QString, QQueue<TSmsRecipient>> byNumber;
    for (const TSmsRecipient& recipient : prepared)
        byNumber[recipient.Number].enqueue(recipient);
    QList<TSmsRecipient> rows;
    for (const QString& number : numbers) {
        QQueue<TSmsRecipient>& matching = byNumber[number];
        rows.append(matching.isEmpty() ? TSmsRecipient{QString(), number} : matching.dequeue());
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
