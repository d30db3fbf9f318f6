#include "app/StartUp.h"

#include "app/AppTitle.h"
#include "app/Application.h"
#include "app/FormMain.h"
#include "data/DbAccess.h"

std::unique_ptr<TFormMain> CreateMainWindow() {
    if (!DbAccess().Connect())
        return nullptr;
    QCoreApplication::setApplicationName(AppTitle());
    return std::make_unique<TFormMain>();
}

int RunProgram(TApplication& app) {
    app.LoadQtTranslation();
    int exitCode = 0;
    if (std::unique_ptr<TFormMain> main = CreateMainWindow()) {
        main->show();
        exitCode = app.exec();
    }
    try {
        DestroyDbAccess();
    } catch (...) {
        // The program is ending; nothing is left to report to.
    }
    return exitCode;
}
