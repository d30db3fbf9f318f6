#pragma once

#include <QString>

// The program runs in one of two ways, chosen at start from what lies around its executable and
// the same for every user, root included:
// - portable, when a bookkeep.dat lies beside the executable (the build folder): everything the
//   program reads and writes lies beside the executable, the SMS libraries in its dll/ folder;
// - installed, when none does and the shipped one lies in ../share/customer-manager/ as
//   `cmake --install` lays it out: the program folder for data is the user's own
//   $XDG_DATA_HOME/customer-manager/ (~/.local/share/customer-manager/ by default), the SMS
//   libraries load from ../lib/customer-manager/dll/ and the account library reads the
//   winsms.ini of the user's program folder.
// Portable is also the choice when neither file is there; connecting then says what is missing.
struct TProgramFolders {
    bool installed = false;
    QString appDir;     // the program folder for data
    QString libraryDir; // the SMS libraries
    QString shippedDir; // the shipped empty data file and example winsms.ini (installed only)
};

TProgramFolders ChooseProgramFolders(const QString& executableDir);
// Makes the choice the program's: sets AppDir() and where the SMS libraries are found.
void UseProgramFolders(const TProgramFolders& folders);

// The folder the SMS libraries are loaded from, ending with '/': AppDir() + "dll/" unless
// installed.
QString SmsLibraryDir();

// The environment variable that names the account library's settings file to it.
inline constexpr char kAccountSettingsVariable[] = "WINSMS_INI";

// Installed: creates the program folder for data with mode 0700 (and the missing folders above
// it) and makes sure it can be written. Portable: nothing to do. Empty when done; otherwise
// what to tell the user.
QString MakeProgramFolder();
// Installed: copies the shipped data file and winsms.ini into the program folder where they are
// missing, with mode 0600, each through the one file-replacement path, so that a failed copy
// leaves nothing behind. Portable: nothing to do. Empty when done; otherwise what to tell the
// user. Only while the program folder is locked.
QString CopyShippedFiles();
