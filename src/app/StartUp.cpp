#include "app/StartUp.h"

#include "app/AppTitle.h"
#include "app/Application.h"
#include "app/FormMain.h"
#include "data/AppDir.h"
#include "data/DataFiles.h"
#include "data/DbAccess.h"
#include "data/Messages.h"
#include "data/ProgramLock.h"
#include "sms/SmsSettings.h"

std::unique_ptr<TFormMain> CreateMainWindow() {
    if (const FolderLockOutcome lock = TakeProgramFolderLock(); !lock.held) {
        if (lock.writeProblem.isEmpty())
            ShowInfo(QStringLiteral("程序已经在运行！"));
        else
            ShowErrorText(lock.writeProblem);
        return nullptr;
    }
    RemoveLeftoverTempFiles(AppDir());
    LoadSmsSettings();
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
        // A refused login has asked the application to end before its loop runs.
        if (main->LoggedIn())
            exitCode = app.exec();
    }
    try {
        DestroyDbAccess();
    } catch (...) {
        // The program is ending; nothing is left to report to.
    }
    UnlockProgramFolder();
    return exitCode;
}
