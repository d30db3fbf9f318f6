#include "data/Log.h"

#include "data/AppDir.h"
#include "data/Clock.h"

#include <QFile>

void WriteLog(const QString& text) {
    const QDateTime now = Now();
    const QString entry = now.toString("yyyy-MM-dd hh:mm:ss") + QStringLiteral("：") + text + '\n';
    QFile file(AppDir() + "Log" + now.toString("yyyyMMdd") + ".log");
    if (!file.open(QIODevice::Append | QIODevice::Text, QFile::ReadOwner | QFile::WriteOwner))
        return;
    file.write(entry.toUtf8());
}
