#include "data/ProgramLock.h"

#include "data/AppDir.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

struct HeldLock {
    QString folder;
    std::unique_ptr<QLockFile> file;
};

HeldLock& Held() {
    static HeldLock held;
    return held;
}

// The system's error number of writing a small file in the folder; 0 when it can be written.
int FolderWriteError(const QString& folder) {
    QByteArray name = QFile::encodeName(folder + "customer-manager.probe.XXXXXX");
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    const QByteArray block(4096, '\0');
    const ssize_t written = ::write(fd, block.constData(), block.size());
    const int error = written == block.size() ? 0 : written < 0 ? errno : ENOSPC;
    ::close(fd);
    ::unlink(name.constData());
    return error;
}

} // namespace

QString ProgramLockPath() {
    return AppDir() + "customer-manager.lock";
}

FolderLockOutcome TakeProgramFolderLock() {
    if (ProgramFolderLocked())
        return {true, {}};
    UnlockProgramFolder();
    auto file = std::make_unique<QLockFile>(ProgramLockPath());
    // A lock is stale only when its process is gone, never because it is old: the other copy
    // may have been running for days.
    file->setStaleLockTime(0);
    if (file->tryLock(0)) {
        Held() = {AppDir(), std::move(file)};
        return {true, {}};
    }
    // A full disk or a folder without the right to write fails the same way whether or not
    // another copy holds the lock; only a folder that can be written tells the two apart.
    int writeError = FolderWriteError(AppDir());
    if (writeError == 0 && file->error() == QLockFile::LockFailedError)
        return {false, {}};
    if (writeError == 0)
        writeError = file->error() == QLockFile::PermissionError ? EACCES : EIO;
    return {false, QStringLiteral("不能在程序文件夹中建立锁文件，程序不能启动！\n详细信息：") +
                       qt_error_string(writeError) + QStringLiteral("（") +
                       QDir::toNativeSeparators(ProgramLockPath()) + QStringLiteral("）")};
}

bool LockProgramFolder() {
    return TakeProgramFolderLock().held;
}

void UnlockProgramFolder() {
    Held() = {};
}

bool ProgramFolderLocked() {
    const HeldLock& held = Held();
    return held.file && held.file->isLocked() && held.folder == AppDir();
}
