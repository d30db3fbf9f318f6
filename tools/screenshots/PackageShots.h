#pragma once

#include <QString>

#include <functional>

class QWidget;
class TFormMain;

// The applications menu's entry at 48 and 256 pixels as a menu shows it (the icon the package
// installs, the entry's Chinese name under it), and the main window as the package's metainfo
// shows it.
void ShootPackage(TFormMain& form, const std::function<void(QWidget&, const QString&)>& save);
