#pragma once

#include <QString>

// Appends "yyyy-mm-dd hh:mm:ss：text" to AppDir/Log<yyyymmdd>.log. A failed write is lost
// silently.
void WriteLog(const QString& text);
