#pragma once

#include <QString>

// The program folder, always ending with '/'. Fixed at start-up (tests point it at a
// temporary folder of their own).
QString AppDir();
void SetAppDir(const QString& dir);
