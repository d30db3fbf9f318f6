#pragma once

#include <QString>

// Starting the program with the desktop session: an XDG autostart entry
// $XDG_CONFIG_HOME/autostart/<name>.desktop whose Exec is the executable's path.

QString AutostartEntryPath(const QString& name);

// True exactly when the entry exists and starts the given executable (exact comparison).
bool IsRunAtStartup(const QString& name, const QString& executablePath);

// Writes the entry when on, deletes it when off. Failures are silent.
void SetRunAtStartup(const QString& name, const QString& executablePath, bool on);

// The Exec value for an executable path, quoted and escaped for a desktop entry, and back.
QString EncodeExecValue(const QString& executablePath);
QString DecodeExecValue(const QString& value);
