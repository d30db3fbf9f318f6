#include "ui/Shell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

constexpr int kFileManagerTimeoutMs = 3000;

class TDesktopShell : public IShell {
public:
    void Open(const QUrl& url) override { QDesktopServices::openUrl(url); }

    void ShowInFileManager(const QString& path) override {
        const QFileInfo file(path);
        if (!AskFileManager(QUrl::fromLocalFile(file.absoluteFilePath())))
            QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath()));
    }

private:
    static bool AskFileManager(const QUrl& file) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return false;
        QDBusMessage call = QDBusMessage::createMethodCall(
            "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
            "org.freedesktop.FileManager1", "ShowItems");
        call << QStringList{file.toString()} << QString();
        return bus.call(call, QDBus::Block, kFileManagerTimeoutMs).type() ==
               QDBusMessage::ReplyMessage;
    }
};

IShell* installedShell = nullptr;

IShell& Shell() {
    static TDesktopShell desktop;
    return installedShell ? *installedShell : desktop;
}

} // namespace

void SetShell(IShell* shell) {
    installedShell = shell;
}

void OpenWithShell(QWidget* /*owner*/, const QString& path) {
    const QUrl url = QFileInfo::exists(path)
                         ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())
                         : QUrl::fromUserInput(path);
    Shell().Open(url);
}

void ShowInFileManager(QWidget* /*owner*/, const QString& path) {
    Shell().ShowInFileManager(path);
}
