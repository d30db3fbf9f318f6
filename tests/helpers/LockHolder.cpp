// Takes the lock of the program folder given as its argument, says "locked" and holds it until
// its input closes or it is killed.
#include "data/AppDir.h"
#include "data/ProgramLock.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    SetAppDir(QString::fromLocal8Bit(argv[1]));
    if (!LockProgramFolder())
        return 1;
    std::puts("locked");
    std::fflush(stdout);
    char byte;
    while (::read(STDIN_FILENO, &byte, 1) > 0) {
    }
    return 0;
}
