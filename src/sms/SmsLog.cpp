#include "sms/SmsLog.h"

#include "data/Clock.h"
#include "data/DbAccess.h"
#include "data/Exceptions.h"
#include "data/Log.h"

#include <QHash>

namespace {

enum Outcome { kUnknown = 0, kAccepted = 1, kRefused = 2 };
enum Delivery { kNoReport = 0, kSubmitted = 1, kAwaiting = 2, kDelivered = 3, kNotDelivered = 4 };
constexpr QChar kPartAwaiting = u'-';
constexpr QChar kPartDelivered = u'D';
constexpr QChar kPartFailed = u'F';
// Reports are matched against the latest messages that carry references: far more parts than
// the 256 references the modem hands out before it wraps.
constexpr int kReportWindow = 4096;
// Ids bound into one statement.
constexpr int kIdsAtOnce = 500;
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// The columns of every list of messages and their parameters.
QString ListColumns(SqlParams& params) {
    params << QStringLiteral("短信猫") << QStringLiteral("短信帐号") << QStringLiteral("成功")
           << QStringLiteral("失败") << QStringLiteral("结果未知") << QStringLiteral("已提交")
           << QStringLiteral("等待回执") << QStringLiteral("已送达") << QStringLiteral("未送达");
    return QStringLiteral(
        "select ID, SendTime as 发送时间, Name as 姓名, Mobile as 手机号码, Message as 短信内容, "
        "case Way when 0 then ? else ? end as 发送方式, "
        "case Outcome when 1 then ? when 2 then ? else ? end as 发送结果, "
        "case Delivery when 1 then ? when 2 then ? when 3 then ? when 4 then ? else '' end "
        "as 送达情况, DeliveryTime as 送达时间, Result as 返回值, Reply as 返回信息 "
        "from SmsLog");
}

const QString kNewestFirst = QStringLiteral(" order by SendTime desc, ID desc");

QString StateCondition(TSmsLogState state) {
    switch (state) {
    case TSmsLogState::All:
        return QString();
    case TSmsLogState::Succeeded:
        return QStringLiteral("Outcome = 1");
    case TSmsLogState::Failed:
        return QStringLiteral("Outcome = 2");
    case TSmsLogState::Delivered:
        return QStringLiteral("Delivery = 3");
    case TSmsLogState::NotDelivered:
        return QStringLiteral("Delivery = 4");
    }
    return QString();
}

QString Digits(const QString& number) {
    QString digits;
    for (const QChar ch : number)
        if (ch.isDigit())
            digits += ch;
    return digits;
}

// The network may write a number internationally that was sent nationally.
bool SameRecipient(const QString& stored, const QString& reported) {
    const QString a = Digits(stored);
    const QString b = Digits(reported);
    if (b.isEmpty())
        return true;
    if (a.isEmpty())
        return false;
    return a.size() >= b.size() ? a.endsWith(b) : b.endsWith(a);
}

QString ReferencesText(const QList<int>& references) {
    QStringList texts;
    for (const int reference : references)
        texts << QString::number(reference);
    return texts.join(',');
}

QVariant TextOrNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// A message sent by the modem whose parts the reports are matched against.
struct TReportedMessage {
    qint64 Id = 0;
    QString Mobile;
    QStringList References;
    QString PartStates;
    int Delivery = kNoReport;
    bool Changed = false;
    QString Time;
};

QString ReportName(const TDeliveryReport& report) {
    return QStringLiteral("短信回执（参考号 %1，号码 %2，状态 %3）")
        .arg(report.Reference)
        .arg(report.Recipient)
        .arg(report.NetworkStatus);
}

// The delivery a message's parts add up to.
int DeliveryOfParts(const QString& parts) {
    if (parts.contains(kPartFailed))
        return kNotDelivered;
    if (!parts.isEmpty() && parts.count(kPartDelivered) == parts.size())
        return kDelivered;
    return kAwaiting;
}

} // namespace

QStringList SmsLogStateNames() {
    return {QStringLiteral("全部"), QStringLiteral("成功"), QStringLiteral("失败"),
            QStringLiteral("已送达"), QStringLiteral("未送达")};
}

TSmsLog& SmsLog() {
    static TSmsLog log;
    return log;
}

void TSmsLog::NewBatch() {
    batch = 0;
}

qint64 TSmsLog::WriteSending(const TSmsRecipient& recipient, const QString& text, TSmsWay way) {
    try {
        // Above every ID kept, so above every batch number given so far.
        if (batch == 0)
            batch = ExecScalarSql("select coalesce(max(ID), 0) + 1 from SmsLog");
        ExecSql(QList<SqlStatement>{
            {"insert into SmsLog (BatchID, SendTime, GUID, Name, Mobile, Message, Way) "
             "values (?, ?, ?, ?, ?, ?, ?)",
             {batch, Now().toString(kTimeFormat), TextOrNull(recipient.Guid), recipient.Name,
              recipient.Number, text, int(way)}}});
        return ExecScalarSql("select last_insert_rowid()");
    } catch (const EDBException& error) {
        throw EUserError(QStringLiteral("短信记录无法写入数据文件，发往 %1 的短信没有发送，"
                                        "发送已暂停。\n原因：%2\n请腾出磁盘空间后点“开始发送”，"
                                        "其余的短信会接着发送。")
                             .arg(recipient.Number, error.Message()));
    }
}

void TSmsLog::WriteOutcome(qint64 id, TSmsWay way, const TSendOutcome& outcome) {
    int delivery = kNoReport;
    if (outcome.Accepted && way == TSmsWay::Account)
        delivery = kSubmitted;
    else if (outcome.Accepted && outcome.ReportsAsked && !outcome.References.isEmpty())
        delivery = kAwaiting;
    const QString refs = ReferencesText(outcome.References);
    const QString parts =
        refs.isEmpty() ? QString() : QString(outcome.References.size(), kPartAwaiting);
    try {
        ExecSql(QList<SqlStatement>{
            {"update SmsLog set Outcome=?, Result=?, Reply=?, Delivery=?, Refs=?, PartStates=? "
             "where ID=?",
             {outcome.Accepted ? kAccepted : kRefused, outcome.Result, outcome.Reply, delivery,
              TextOrNull(refs), TextOrNull(parts), id}}});
    } catch (const EDBException& error) {
        throw EUserError(QStringLiteral("短信已经交给发送组件，但它的结果无法写入短信记录，"
                                        "发送已暂停。\n原因：%1\n请腾出磁盘空间后点“开始发送”，"
                                        "其余的短信会接着发送。")
                             .arg(error.Message()));
    }
}

int TSmsLog::ApplyReports(const QList<TDeliveryReport>& reports) {
    QList<TReportedMessage> messages;
    bool read = false;
    int applied = 0;
    for (const TDeliveryReport& report : reports) {
        if (report.Outcome == TDeliveryReport::State::Pending)
            continue;
        if (!read) {
            TDataSet& rows =
                DbAccess().OpenQuery("select ID, Mobile, Refs, PartStates, Delivery from SmsLog "
                                     "where Refs is not null order by ID desc limit ?",
                                     {kReportWindow});
            for (rows.First(); !rows.Eof(); rows.Next())
                messages.append({rows.Value(0).toLongLong(), rows.AsString(1),
                                 rows.AsString(2).split(','), rows.AsString(3), rows.AsInteger(4)});
            read = true;
        }
        const QString reference = QString::number(report.Reference);
        TReportedMessage* message = nullptr;
        qsizetype part = -1;
        for (TReportedMessage& candidate : messages) {
            part = candidate.References.indexOf(reference);
            if (part >= 0 && SameRecipient(candidate.Mobile, report.Recipient)) {
                message = &candidate;
                break;
            }
        }
        if (!message) {
            WriteLog(ReportName(report) + QStringLiteral("：没有这条短信，已忽略"));
            continue;
        }
        if (message->Delivery < kAwaiting || part >= message->PartStates.size() ||
            message->PartStates[part] != kPartAwaiting) {
            WriteLog(ReportName(report) + QStringLiteral("：这一部分已有回执或不等待回执，已忽略"));
            continue;
        }
        const bool delivered = report.Outcome == TDeliveryReport::State::Delivered;
        message->PartStates[part] = delivered ? kPartDelivered : kPartFailed;
        const int before = message->Delivery;
        message->Delivery = before == kNotDelivered ? before : DeliveryOfParts(message->PartStates);
        if (message->Delivery != before)
            message->Time = report.Time.isEmpty() ? Now().toString(kTimeFormat) : report.Time;
        message->Changed = true;
        ++applied;
    }
    QList<SqlStatement> updates;
    for (const TReportedMessage& message : messages)
        if (message.Changed)
            updates.append(
                {"update SmsLog set PartStates=?, Delivery=?, "
                 "DeliveryTime=coalesce(?, DeliveryTime) where ID=?",
                 {message.PartStates, message.Delivery, TextOrNull(message.Time), message.Id}});
    if (!updates.isEmpty())
        ExecSql(updates);
    return applied;
}

void TSmsLog::OpenForCustomer(TDataSet& set, const QString& guid) {
    SqlParams params;
    const QString sql = ListColumns(params) + QStringLiteral(" where GUID = ?") + kNewestFirst;
    params << guid;
    DbAccess().OpenSet(set, sql, params);
}

void TSmsLog::OpenHistory(TDataSet& set, const TSmsLogFilter& filter) {
    SqlParams params;
    QString sql = ListColumns(params) + QStringLiteral(" where SendTime >= ? and SendTime < ?");
    params << filter.From.toString(Qt::ISODate) << filter.To.addDays(1).toString(Qt::ISODate);
    if (!filter.Text.isEmpty()) {
        sql += QStringLiteral(" and (instr(lower(Name), lower(?)) > 0 or "
                              "instr(lower(Mobile), lower(?)) > 0 or "
                              "instr(lower(Message), lower(?)) > 0)");
        params << filter.Text << filter.Text << filter.Text;
    }
    if (const QString state = StateCondition(filter.State); !state.isEmpty())
        sql += " and " + state;
    DbAccess().OpenSet(set, sql + kNewestFirst, params);
}

QDate TSmsLog::FirstDay() {
    const QString first = DbAccess().OpenQuery("select min(SendTime) from SmsLog").AsString(0);
    const QDate day = QDate::fromString(first.left(10), Qt::ISODate);
    return day.isValid() ? day : Now().date();
}

QList<TSmsRecipient> TSmsLog::FailedRecipients(const QList<qint64>& ids) {
    QHash<qint64, TSmsRecipient> failed;
    for (qsizetype start = 0; start < ids.size(); start += kIdsAtOnce) {
        SqlParams params;
        for (const qint64 id : ids.mid(start, kIdsAtOnce))
            params << id;
        const QStringList marks(params.size(), QStringLiteral("?"));
        TDataSet& rows = DbAccess().OpenQuery(
            "select ID, Name, Mobile, GUID from SmsLog where (Outcome = 2 or Delivery = 4) "
            "and ID in (" +
                marks.join(',') + ")",
            params);
        for (rows.First(); !rows.Eof(); rows.Next())
            failed.insert(rows.Value(0).toLongLong(),
                          {rows.AsString(1), rows.AsString(2), rows.AsString(3)});
    }
    QList<TSmsRecipient> recipients;
    for (const qint64 id : ids)
        if (failed.contains(id))
            recipients.append(failed.value(id));
    return recipients;
}
