#pragma once

#include "sms/SmsLibrary.h"
#include "sms/SmsLog.h"
#include "sms/SmsRecipient.h"

#include <QList>
#include <QString>
#include <QStringList>

// The one gateway to the outside world of short messages: the modem connection, the current
// batch with its counters, and the two SMS libraries (dll/libsms.so for the modem,
// dll/libwinsms.so for the web account). Every text goes to the libraries in GBK. A call into a
// library blocks until it returns, under the waiting cursor.
class TVoskSms {
public:
    TVoskSms();

    // Opens the modem on the port when the mode is the modem and SMS is on; ConnState is -1
    // otherwise, and 0 when no modem answers (the user is told).
    void ConnectModem(int port);
    void DisconnectModem();
    // A new batch of n rows with empty names and numbers.
    void Reset(int n);
    // A new batch of these rows.
    void StartBatch(const QList<TSmsRecipient>& rows);
    // Sends the message to the next recipient. In modem mode a refused message is recorded in
    // Failures and the batch goes on; in web mode the first refusal stops the batch and moves
    // the refused recipient and all after it to Failures. Every message is kept in SmsLog:
    // when its row cannot be written first, EUserError is raised and nothing is sent or
    // counted, so the batch can go on from the same recipient; when the outcome cannot be
    // written, the step is counted and EUserError is raised after it.
    void SendNext();
    // Takes the modem's delivery reports that arrived and records them in SmsLog. Does nothing
    // while a step runs, outside modem mode, or without a connected modem library that reads
    // reports. Reports that could not be recorded are kept for the next call.
    void PollReports();
    static QString ResultText(const QString& code);
    void ShowBalance(const QString& account, const QString& password);
    bool ChangePassword(const QString& account, const QString& oldPassword,
                        const QString& newPassword);
    // Lets go of both libraries (the program's end; tests between program folders).
    void ReleaseLibraries();

    int ConnState = -1;
    bool SmsOn = false;
    int Total = 0;
    int Sent = 0;
    int Left = 0;
    int Succeeded = 0;
    int Failed = 0;
    // Every "@Name" stands for the recipient's name.
    QString MessageText;
    bool Finished = false;
    bool Busy = false;
    QList<TSmsRecipient> Recipients;
    QList<TSmsRecipient> Failures;

private:
    TSendOutcome sendByModem(const TSmsRecipient& recipient, const QString& text);
    TSendOutcome sendByAccount(const QString& number, const QString& text);
    QList<TDeliveryReport> readReports();
    void stopBatch();

    QList<TDeliveryReport> unrecorded;

    TSmsLibrary modem;
    TSmsLibrary account;
};

TVoskSms& SmsGateway();

// The message as it goes to one recipient: every "@Name", in exactly that case, becomes name.
QString PersonalText(const QString& message, const QString& name);

// The recipients' numbers, one a line: NumberLines gives them back, blank ones included.
QString NumberListText(const QList<TSmsRecipient>& recipients);

// The recipients of the lines of a number list. A line takes the name and customer of the first
// recipient of prepared with the same number (as stored) not taken yet; the others get an
// empty name and no customer.
QList<TSmsRecipient> MatchNames(const QStringList& numbers, const QList<TSmsRecipient>& prepared);
