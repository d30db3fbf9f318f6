#pragma once

#include "fakes/FakeHttpServer.h"
#include "fakes/FakeModem.h"
#include "sms/SmsGateway.h"
#include "support/AppDirTest.h"

#include <QAbstractButton>
#include <QObject>
#include <QStringList>

// A program folder with both SMS libraries in dll/ and the data file connected: the modem
// library finds the simulated modem as port 1, the account library the loopback server. SMS
// starts off, with the default settings.
class SmsTest : public AppDirTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // SMS on through the modem on port 1, connected.
    void useModem();
    // SMS on through the web account "shop" / "secret".
    void useAccount();
    void startBatch(const QString& message, const QList<TSmsRecipient>& rows);
    // Clicks as the event loop would: an exception goes to the error box.
    bool click(QAbstractButton* button);

    // What the loopback server was sent, field by field, one entry per request.
    QStringList sentField(const QString& field) const;
    // The numbers and texts the modem took.
    QStringList modemNumbers() const;
    QStringList modemTexts() const;
    QStringList boxTexts() const;

    TVoskSms& gateway = SmsGateway();
    FakeModem modem;
    FakeHttpServer server;
};

// Notes the numbers each composition opens with, and the batch prepared for it, and cancels it
// once it is up.
class CompositionCanceller : public QObject {
public:
    CompositionCanceller();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QStringList lists;
    QList<QList<TSmsRecipient>> prepared;
};
