#pragma once

class QWidget;

// The visible main window, or nullptr before it is shown.
QWidget* MainWindow();

// Centres a top-level window over the main window (over the screen when there is none).
void CentreOverMainWindow(QWidget& window);
