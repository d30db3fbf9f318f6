#pragma once

#include "data/DataSet.h"
#include "sms/SmsRecipient.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

enum class TSmsWay { Modem = 0, Account = 1 };

// What a library said about one message.
struct TSendOutcome {
    bool Accepted = false;
    // The library's result: the modem's return value, the web account's reply code.
    QString Result;
    // The web account's reply as the service sent it; for the modem, the parts it took.
    QString Reply;
    // The modem's reference of every part it accepted, when the message asked for reports.
    QList<int> References;
    bool ReportsAsked = false;
};

// What the network says about one part sent by the modem.
struct TDeliveryReport {
    enum class State { Delivered, Pending, Failed };
    int Reference = -1;
    State Outcome = State::Pending;
    int NetworkStatus = 0;
    QString Recipient;
    // "yyyy-MM-dd hh:mm:ss" in local time; empty when the report held no time.
    QString Time;
};

// The states the history can be narrowed to, in the order the window offers them.
enum class TSmsLogState { All, Succeeded, Failed, Delivered, NotDelivered };
QStringList SmsLogStateNames();

struct TSmsLogFilter {
    QDate From; // both days included
    QDate To;
    // Contained in the name, the number or the message; Latin letters in any case.
    QString Text;
    TSmsLogState State = TSmsLogState::All;
};

// Every short message the program sends, kept in the table SmsLog: one row a message, written
// "sending" before the library is called and completed after it, so a message whose outcome
// never came back stays as one whose result is unknown. The modem's delivery reports complete
// the rows later. Owns every statement on the table.
class TSmsLog {
public:
    // The next message written starts a new batch.
    void NewBatch();
    // Writes the message's row before it is handed to a library and returns the row's ID.
    // Raises EUserError saying the message was not sent when the row cannot be written.
    qint64 WriteSending(const TSmsRecipient& recipient, const QString& text, TSmsWay way);
    // Completes the row with what the library said. Raises EUserError when it cannot.
    void WriteOutcome(qint64 id, TSmsWay way, const TSendOutcome& outcome);
    // Records the reports on the rows of their parts: a message is delivered when every part
    // is, not delivered as soon as one part is not. A report is matched with the most recent
    // part sent under its reference to a number ending like its recipient; a report for no
    // such part, or for a part already reported on, changes nothing and is written to the log.
    // Returns how many reports changed a row.
    int ApplyReports(const QList<TDeliveryReport>& reports);

    // The columns every list of messages shows; the first, ID, is the hidden key.
    void OpenForCustomer(TDataSet& set, const QString& guid);
    void OpenHistory(TDataSet& set, const TSmsLogFilter& filter);
    // The day of the first message kept; today when there is none.
    QDate FirstDay();
    // The recipients of the rows among ids whose message was refused or not delivered, in the
    // order of ids, with their names and customers.
    QList<TSmsRecipient> FailedRecipients(const QList<qint64>& ids);

private:
    qint64 batch = 0;
};

TSmsLog& SmsLog();
