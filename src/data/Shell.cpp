#include "data/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void OpenWithShell(QWidget* /*owner*/, const QString& path) {
    const QUrl url = QFileInfo::exists(path)
                         ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())
                         : QUrl::fromUserInput(path);
    QDesktopServices::openUrl(url);
}
