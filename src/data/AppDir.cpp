#include "data/AppDir.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString& appDirSlot() {
    static QString dir;
    return dir;
}
} // namespace

QString AppDir() {
    QString& dir = appDirSlot();
    if (dir.isEmpty())
        SetAppDir(QCoreApplication::applicationDirPath());
    return dir;
}

void SetAppDir(const QString& dir) {
    QString path = QDir::cleanPath(QDir(dir).absolutePath());
    if (!path.endsWith('/'))
        path += '/';
    appDirSlot() = path;
}
