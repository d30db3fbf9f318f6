#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

QWidget* MainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("FormMain") && widget->isVisible())
            return widget;
    return nullptr;
}

void CentreOverMainWindow(QWidget& window) {
    QRect area;
    QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : MainWindow();
    if (owner && owner != &window)
        area = owner->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}
