#include "data/ProgramLock.h"

#include "data/AppDir.h"

#include <QLockFile>

#include <memory>

namespace {

struct HeldLock {
    QString folder;
    std::unique_ptr<QLockFile> file;
};

HeldLock& Held() {
    static HeldLock held;
    return held;
}

} // namespace

QString ProgramLockPath() {
    return AppDir() + "customer-manager.lock";
}

bool LockProgramFolder() {
    if (ProgramFolderLocked())
        return true;
    UnlockProgramFolder();
    auto file = std::make_unique<QLockFile>(ProgramLockPath());
    // A lock is stale only when its process is gone, never because it is old: the other copy
    // may have been running for days.
    file->setStaleLockTime(0);
    if (!file->tryLock(0))
        return false;
    Held() = {AppDir(), std::move(file)};
    return true;
}

void UnlockProgramFolder() {
    Held() = {};
}

bool ProgramFolderLocked() {
    const HeldLock& held = Held();
    return held.file && held.file->isLocked() && held.folder == AppDir();
}
