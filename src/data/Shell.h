#pragma once

#include <QString>

class QWidget;

// Hands a file or a web address to the desktop to open with its default application. What the
// desktop answers is not examined.
void OpenWithShell(QWidget* owner, const QString& path);
