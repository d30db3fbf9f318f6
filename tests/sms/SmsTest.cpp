#include "SmsTest.h"

#include "PduReader.h"
#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "sms/FormSendSms.h"
#include "sms/SmsSettings.h"
#include "ui/ExceptionHandler.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QPlainTextEdit>

namespace {

QMap<QString, QString> formFields(const std::string& body) {
    QMap<QString, QString> fields;
    for (const QByteArray& pair : QByteArray::fromStdString(body).split('&')) {
        const qsizetype equals = pair.indexOf('=');
        fields.insert(QString::fromUtf8(QByteArray::fromPercentEncoding(pair.left(equals))),
                      QString::fromUtf8(QByteArray::fromPercentEncoding(pair.mid(equals + 1))));
    }
    return fields;
}

} // namespace

void SmsTest::SetUp() {
    AppDirTest::SetUp();
    qputenv("SMS_MODEM_TIMEOUT_MS", "300");
    qputenv("SMS_MODEM_PROBE_MS", "100");
    QDir app(AppDir());
    ASSERT_TRUE(app.mkpath("dll") && app.mkpath("dev"));
    ASSERT_TRUE(QFile::copy(SMS_MODEM_LIBRARY, AppDir() + "dll/libsms.so"));
    ASSERT_TRUE(QFile::copy(SMS_ACCOUNT_LIBRARY, AppDir() + "dll/libwinsms.so"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(modem.SlavePath()), AppDir() + "dev/COM1"));
    QFile ini(AppDir() + "dll/winsms.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QByteArray("[service]\nurl=") + server.BaseUrl().c_str() + "\ntimeout=1\n");
    ini.close();
    // Every message sent is kept in the data file.
    ASSERT_TRUE(DbAccess().Connect());
    SmsParams() = DefaultSmsParams();
    gateway.StartBatch({});
    gateway.MessageText.clear();
    gateway.SmsOn = false;
    gateway.ConnState = -1;
}

void SmsTest::TearDown() {
    gateway.DisconnectModem();
    gateway.ReleaseLibraries();
    DbAccess().Disconnect();
    qunsetenv("SMS_MODEM_TIMEOUT_MS");
    qunsetenv("SMS_MODEM_PROBE_MS");
    AppDirTest::TearDown();
}

void SmsTest::useModem() {
    SmsParams().SmsSelend = true;
    SmsParams().Morzh = 0;
    gateway.SmsOn = true;
    gateway.ConnectModem(1);
    ASSERT_NE(gateway.ConnState, 0);
}

void SmsTest::useAccount() {
    SmsParams().SmsSelend = true;
    SmsParams().Morzh = 1;
    SmsParams().Zh = "shop";
    SmsParams().ZhPass = "secret";
    gateway.SmsOn = true;
    gateway.ConnectModem(1);
}

void SmsTest::startBatch(const QString& message, const QList<TSmsRecipient>& rows) {
    gateway.MessageText = message;
    gateway.StartBatch(rows);
}

bool SmsTest::click(QAbstractButton* button) {
    return RunHandled(button, [button] { button->click(); });
}

QStringList SmsTest::sentField(const QString& field) const {
    QStringList values;
    for (const FakeHttpServer::Request& request : server.Requests())
        values << formFields(request.body).value(field);
    return values;
}

QStringList SmsTest::modemNumbers() const {
    QStringList numbers;
    for (const FakeModem::Submission& submission : modem.Submissions())
        numbers << ReadSubmitPdu(submission.pduHex).value_or(SubmitPdu{}).number;
    return numbers;
}

QStringList SmsTest::modemTexts() const {
    QStringList texts;
    for (const FakeModem::Submission& submission : modem.Submissions())
        texts << ReadSubmitPdu(submission.pduHex).value_or(SubmitPdu{}).text;
    return texts;
}

QStringList SmsTest::boxTexts() const {
    QStringList texts;
    for (const MessageBoxRequest& request : boxes.shown)
        texts << request.text;
    return texts;
}

CompositionCanceller::CompositionCanceller() {
    qApp->installEventFilter(this);
}

bool CompositionCanceller::eventFilter(QObject* watched, QEvent* event) {
    auto* dialog = qobject_cast<TFormSendSms*>(watched);
    if (dialog && event->type() == QEvent::Show) {
        lists << dialog->mmoTel->toPlainText();
        prepared << SmsGateway().Recipients;
        QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
    }
    return false;
}
