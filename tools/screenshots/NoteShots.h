#pragma once

#include <QString>

#include <functional>

class QWidget;
class TFormMain;

// Note groups and notes, stored before the main window opens so that its notebook tab shows them.
void FillNoteSamples();
// The notebook tab with a group's note, the settings dialog and the password prompt.
void ShootNotebook(TFormMain& form, const std::function<void(QWidget&, const QString&)>& save);
