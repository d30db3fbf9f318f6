#include "support/AppDirTest.h"

#include "data/AppDir.h"
#include "data/ProgramLock.h"

#include <QFile>

void AppDirTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    SetAppDir(dir.path());
    ASSERT_TRUE(QFile::copy(TEST_SEED_DATAFILE, dataFile()));
    QFile::setPermissions(dataFile(), QFile::ReadOwner | QFile::WriteOwner);
    SetMessageBoxes(&boxes);
    SetFileDialogs(&fileDialogs);
    SetClock(&clock);
    SetShell(&shell);
    ASSERT_TRUE(LockProgramFolder());
}

void AppDirTest::TearDown() {
    UnlockProgramFolder();
    SetMessageBoxes(nullptr);
    SetFileDialogs(nullptr);
    SetClock(nullptr);
    SetShell(nullptr);
}

QString AppDirTest::appDir() const {
    return AppDir();
}

QString AppDirTest::dataFile() const {
    return AppDir() + "bookkeep.dat";
}

QString AppDirTest::readLog(const QDate& day) const {
    QFile file(AppDir() + "Log" + day.toString("yyyyMMdd") + ".log");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
