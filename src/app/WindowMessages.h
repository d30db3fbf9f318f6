#pragma once

#include <QEvent>

// Messages posted between windows, with the numbers the program has always used.
constexpr int WM_USER = 1024;
// Posted by the custom field list when it closes after a change: the customer list reloads.
constexpr QEvent::Type WM_FIELDS_CHANGED = static_cast<QEvent::Type>(WM_USER + 100);

// A posted message that carries one number (a reminder's ID, for instance).
class TWindowMessage : public QEvent {
public:
    TWindowMessage(QEvent::Type type, int param = 0) : QEvent(type), Param(param) {}
    const int Param;
};
