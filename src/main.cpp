#include "app/Application.h"
#include "app/StartUp.h"
#include "data/ProgramFolders.h"

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    // Desktops match the windows to the menu entry and its icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(DESKTOP_ENTRY_ID));
    UseProgramFolders(ChooseProgramFolders(QCoreApplication::applicationDirPath()));
    return RunProgram(app);
}
