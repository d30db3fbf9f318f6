#pragma once

#include <QString>

// The application title: the taskbar entry, the caption of the plain message boxes and the
// name of the autostart entry.
inline QString AppTitle() {
    return QStringLiteral("客户信息管理管理-禾森软件");
}

// The main window's caption.
inline QString MainCaption() {
    return QStringLiteral("客户信息管理-禾森软件");
}
