#pragma once

#include <QString>

// One running copy of the program per program folder. Two copies writing one data file lose
// saved changes: the first to close compacts the file from under the other.

struct FolderLockOutcome {
    bool held = false;
    // Why the lock file cannot be written (the folder is full or not writable), as the text for
    // the user; empty when the lock is held or another running copy holds it.
    QString writeProblem;
};

// Takes the lock file in AppDir, taking over a lock left by a copy that is no longer running.
// Held when this process holds it (also when it held it already).
FolderLockOutcome TakeProgramFolderLock();
// True when this process holds the lock.
bool LockProgramFolder();
void UnlockProgramFolder();
// True while this process holds the lock of the current AppDir.
bool ProgramFolderLocked();

// The lock file's path in AppDir.
QString ProgramLockPath();
