#include "PackageShots.h"

#include "app/FormMain.h"

#include <QFile>
#include <QIcon>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The name a Chinese desktop shows for the entry.
QString EntryName() {
    QFile entry(DESKTOP_ENTRY);
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QString key = QStringLiteral("Name[zh_CN]=");
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(key))
            return line.mid(key.size());
    }
    return QString();
}

void ShootMenuEntry(int size, const std::function<void(QWidget&, const QString&)>& save) {
    QToolButton entry;
    entry.setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    entry.setAutoRaise(true);
    entry.setIcon(QIcon(QStringLiteral("%1/%2x%2/apps/customer-manager.png")
                            .arg(QStringLiteral(PACKAGE_ICON_FOLDER))
                            .arg(size)));
    entry.setIconSize(QSize(size, size));
    entry.setText(EntryName());
    entry.setMinimumWidth(size + 48);
    entry.show();
    save(entry, QStringLiteral("menu-icon-%1").arg(size));
}

} // namespace

void ShootPackage(TFormMain& form, const std::function<void(QWidget&, const QString&)>& save) {
    for (int size : {48, 256})
        ShootMenuEntry(size, save);
    form.pgc1->setCurrentIndex(0);
    form.resize(1024, 640);
    save(form, QStringLiteral("metainfo-main"));
}
