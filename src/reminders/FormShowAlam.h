#pragma once

#include "ui/FirstShow.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

class QAction;
class QMenu;
class QPushButton;
class QTextEdit;
class QVariantAnimation;

// The pop-up of one due reminder: an independent window that stays on top, answered by
// posting WM_ALAM_SEEN, WM_ALAM_DELETE or WM_ALAM_SNOOZE with the reminder's ID to the main
// window. A repeating reminder is only acknowledged ("看到了"), which posts nothing.
class TFormShowAlam : public QWidget {
    Q_OBJECT
public:
    TFormShowAlam(int id, const QString& text, bool repeating, QObject* mainWindow);

    void btnOkSaveClick();
    void btnOkDelClick();
    void btnConClick();
    void SnoozeChosen(int choice);

    // The frame's bottom edge 27 pixels above the bottom of the primary screen's whole area,
    // its right edge 2 pixels left of its right.
    void PlaceOnScreen();

    const int AlamId;
    const bool Repeating;
    QTextEdit* mmo1;
    QPushButton* btnCon;
    QPushButton* btnOkDel;
    QPushButton* btnOkSave;
    QMenu* pm1;
    QAction* N31;
    QAction* N51;
    QAction* N101;
    QAction* N301;
    QAction* N11;
    // Reveals the window from its bottom edge upwards.
    QVariantAnimation* rollUp;

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void post(QEvent::Type type, int lParam = 0);
    void reveal(int height);
    void placeWithFrame();

    QPointer<QObject> mainWindow;
    TFirstShow firstShow;
    QSize placedFrame; // the outer size the last placement counted with
};

// Opens the pop-up without waiting. Over an open modal dialog the pop-up belongs to that
// dialog's window, so that it can still be answered.
TFormShowAlam* ShowAlamPopup(int id, const QString& text, bool repeating, QObject* mainWindow);
// Closes every open pop-up without an answer (the program is ending).
void CloseAlamPopups();
