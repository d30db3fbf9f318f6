#pragma once

#include <QEvent>

// Messages posted between windows, with the numbers the program has always used.
constexpr int WM_USER = 1024;
// Posted by the custom field list when it closes after a change: the customer list reloads.
constexpr QEvent::Type WM_FIELDS_CHANGED = static_cast<QEvent::Type>(WM_USER + 100);
// Posted by a reminder pop-up with the reminder's ID: delete it, mark it seen, or snooze it
// (LParam the snooze choice 0-4).
constexpr QEvent::Type WM_ALAM_DELETE = static_cast<QEvent::Type>(WM_USER + 1);
constexpr QEvent::Type WM_ALAM_SEEN = static_cast<QEvent::Type>(WM_USER + 2);
constexpr QEvent::Type WM_ALAM_SNOOZE = static_cast<QEvent::Type>(WM_USER + 3);

// A posted message with its two numbers (a reminder's ID and a snooze choice, for instance).
class TWindowMessage : public QEvent {
public:
    TWindowMessage(QEvent::Type type, int param = 0, int lParam = 0)
        : QEvent(type), Param(param), LParam(lParam) {}
    const int Param;
    const int LParam;
};
