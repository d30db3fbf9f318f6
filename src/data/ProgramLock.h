#pragma once

#include <QString>

// One running copy of the program per program folder. Two copies writing one data file lose
// saved changes: the first to close compacts the file from under the other.

// Takes the lock file in AppDir, taking over a lock left by a copy that is no longer running.
// True when this process holds it (also when it held it already); false while another running
// copy holds it.
bool LockProgramFolder();
void UnlockProgramFolder();
// True while this process holds the lock of the current AppDir.
bool ProgramFolderLocked();

// The lock file's path in AppDir.
QString ProgramLockPath();
