#pragma once

#include "reminders/DueCheck.h"

#include <QStyledItemDelegate>
#include <QWidget>

class QAction;
class QButtonGroup;
class QEvent;
class QMenu;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// Draws a reminder row in the colour of its frequency and centres the time, text and status.
class TAlamListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// "仅一次" red, "每周" green, "每月" blue; an invalid colour (the list's own) otherwise.
QColor AlamRowColour(const QString& frequencyText);

// The main window's tab "定时提醒": the reminder list with its filters and context menu, the
// once-a-minute due check, and the answers of the pop-ups.
class TAlamTab : public QWidget {
    Q_OBJECT
public:
    explicit TAlamTab(QWidget* parent = nullptr);

    // The due check counts the minutes from now on (the main window was shown, after the login).
    void StartDueCheck();
    void LoadList(int filter);
    int Filter() const;

    void rgAlamClick();
    void NAddAlamClick();
    void NModAlamClick();
    void NDelAlamClick();
    // The main window's one-second tick: pops up what falls due in the minutes not yet
    // examined.
    void tmr1Timer();
    // WM_ALAM_DELETE, WM_ALAM_SEEN and WM_ALAM_SNOOZE; false for any other event.
    bool HandleAlamMessage(QEvent* event);

    QTreeWidget* lv1;
    QWidget* rgAlam;
    QButtonGroup* rgAlamButtons;
    QMenu* pmAlam;
    QAction* NAddAlam;
    QAction* NModAlam;
    QAction* NDelAlam;
    TAlamDueCheck DueCheck;

private:
    QWidget* createFilterButtons();
    int selectedId() const;
    // The rows showing the reminder, last first.
    QList<QTreeWidgetItem*> rowsOf(int id) const;
};
