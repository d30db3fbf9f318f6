// The one main of every benchmark executable; see BenchMain.h.
#include "BenchMain.h"

#include "data/AppDir.h"
#include "data/DbAccess.h"
#include "data/ProgramLock.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    const TBenchSetUp setUp = BenchSetUp(dir.path() + '/');
    QApplication app(argc, argv);
    SetAppDir(dir.path());
    if (!setUp.dataFile.isEmpty()) {
        const QString dataFile = AppDir() + "bookkeep.dat";
        QFile::copy(setUp.dataFile, dataFile);
        QFile::setPermissions(dataFile, QFile::ReadOwner | QFile::WriteOwner);
        if (!LockProgramFolder() || !DbAccess().Connect())
            return 1;
    }
    if (setUp.prepare && !setUp.prepare())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (setUp.finish)
        setUp.finish();
    DestroyDbAccess();
    UnlockProgramFolder();
    return 0;
}
