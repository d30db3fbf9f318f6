#include "app/Application.h"
#include "app/StartUp.h"
#include "data/AppDir.h"

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    SetAppDir(QCoreApplication::applicationDirPath());
    return RunProgram(app);
}
