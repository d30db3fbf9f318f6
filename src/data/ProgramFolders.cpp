#include "data/ProgramFolders.h"

#include "data/AppDir.h"
#include "data/DataFiles.h"
#include "data/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDataFileName = QStringLiteral("bookkeep.dat");
const QString kAccountSettingsName = QStringLiteral("winsms.ini");
const QString kProgramName = QStringLiteral("customer-manager");
constexpr mode_t kPrivateFolderMode = S_IRWXU;

TProgramFolders& CurrentFolders() {
    static TProgramFolders folders;
    return folders;
}

// A program folder set since (by a test) is a portable one.
bool Installed() {
    const TProgramFolders& folders = CurrentFolders();
    return folders.installed && folders.appDir == AppDir();
}

QString WithSlash(const QString& folder) {
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    return path.endsWith('/') ? path : path + '/';
}

bool Present(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString UserDataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

[[noreturn]] void ThrowSystemError() {
    throw EDBException(qt_error_string(errno), QString(), QString());
}

// Creates the folder and the missing ones above it with mode 0700, whatever the umask. A folder
// that is already there keeps its mode.
void MakePrivateFolders(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir())
        return;
    MakePrivateFolders(info.absolutePath());
    const QByteArray name = QFile::encodeName(info.absoluteFilePath());
    if (::mkdir(name.constData(), kPrivateFolderMode) != 0) {
        const int failure = errno;
        if (failure == EEXIST && QFileInfo(folder).isDir())
            return;
        errno = failure;
        ThrowSystemError();
    }
    if (::chmod(name.constData(), kPrivateFolderMode) != 0)
        ThrowSystemError();
}

void CheckWritable(const QString& folder) {
    if (::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        ThrowSystemError();
}

using TCopy = void (*)(const QString& source, const QString& target);

void CopyIfMissing(const QString& name, TCopy copy) {
    const QString target = AppDir() + name;
    if (Present(target))
        return;
    const QString source = CurrentFolders().shippedDir + name;
    try {
        TFileReplacement replacement(target, kFirstCopyTag);
        copy(source, replacement.TempPath());
        replacement.Commit();
    } catch (const EDBException& error) {
        throw EDBException(QStringLiteral("无法把 %1 复制到 %2：%3")
                               .arg(QDir::toNativeSeparators(source),
                                    QDir::toNativeSeparators(target), error.Message()),
                           QString(), QString());
    }
}

} // namespace

TProgramFolders ChooseProgramFolders(const QString& executableDir) {
    const QString beside = WithSlash(executableDir);
    const QString shipped = WithSlash(beside + "../share/" + kProgramName);
    if (Present(beside + kDataFileName) || !QFileInfo(shipped + kDataFileName).isFile())
        return {false, beside, beside + "dll/", QString()};
    return {true, WithSlash(UserDataHome() + '/' + kProgramName),
            WithSlash(beside + "../lib/" + kProgramName + "/dll"), shipped};
}

void UseProgramFolders(const TProgramFolders& folders) {
    CurrentFolders() = folders;
    SetAppDir(folders.appDir);
    if (folders.installed)
        qputenv(kAccountSettingsVariable, QFile::encodeName(AppDir() + kAccountSettingsName));
    else
        qunsetenv(kAccountSettingsVariable);
}

QString SmsLibraryDir() {
    return Installed() ? CurrentFolders().libraryDir : AppDir() + "dll/";
}

QString MakeProgramFolder() {
    if (!Installed())
        return QString();
    try {
        MakePrivateFolders(QDir::cleanPath(AppDir()));
        CheckWritable(AppDir());
        return QString();
    } catch (const EDBException& error) {
        return QStringLiteral("数据文件夹 %1 不能建立或写入：%2")
            .arg(QDir::toNativeSeparators(AppDir()), error.Message());
    }
}

QString CopyShippedFiles() {
    if (!Installed())
        return QString();
    try {
        CopyIfMissing(kDataFileName, ReadDatabaseInto);
        CopyIfMissing(kAccountSettingsName, CopyBytes);
        return QString();
    } catch (const EDBException& error) {
        return error.Message();
    }
}
