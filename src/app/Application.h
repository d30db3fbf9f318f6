#pragma once

#include <QApplication>

// The program's QApplication: no exception ever crosses Qt's event loop. Each one that leaves
// an event handler goes to the one exception handler and the program carries on.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Qt's own Chinese texts for standard buttons and dialogs.
    void LoadQtTranslation();
};
