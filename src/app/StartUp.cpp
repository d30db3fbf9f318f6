#include "app/StartUp.h"

#include "app/Application.h"
#include "app/CheckRun.h"
#include "app/FormMain.h"
#include "data/AppDir.h"
#include "data/DataFiles.h"
#include "data/DbAccess.h"
#include "data/ProgramFolders.h"
#include "data/ProgramLock.h"
#include "sms/SmsSettings.h"
#include "ui/AppTitle.h"
#include "ui/Messages.h"

#include <QCoreApplication>
#include <QTimer>

std::unique_ptr<TFormMain> CreateMainWindow() {
    if (const QString problem = MakeProgramFolder(); !problem.isEmpty()) {
        ShowErrorText(problem);
        return nullptr;
    }
    if (const FolderLockOutcome lock = TakeProgramFolderLock(); !lock.held) {
        if (lock.writeProblem.isEmpty())
            ShowInfo(QStringLiteral("程序已经在运行！"));
        else
            ShowErrorText(lock.writeProblem);
        return nullptr;
    }
    RemoveLeftoverTempFiles(AppDir());
    if (const QString problem = CopyShippedFiles(); !problem.isEmpty()) {
        ShowErrorText(problem);
        return nullptr;
    }
    LoadSmsSettings();
    if (const TConnectOutcome connection = DbAccess().Connect(); !connection) {
        ShowError(QStringLiteral("数据库连接失败！"), connection.reason, QString());
        QCoreApplication::quit();
        return nullptr;
    }
    QCoreApplication::setApplicationName(AppTitle());
    return std::make_unique<TFormMain>();
}

int RunProgram(TApplication& app) {
    app.LoadQtTranslation();
    BeginCheckRun();
    // A start that never shows the main window ends in failure.
    int exitCode = 1;
    if (std::unique_ptr<TFormMain> main = CreateMainWindow()) {
        exitCode = 0;
        main->show();
        if (IsCheckRun())
            QTimer::singleShot(0, main.get(), &QWidget::close);
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
