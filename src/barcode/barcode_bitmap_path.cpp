#include "barcode/barcode_bitmap_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kBitmapFileName = QStringLiteral("code128.bmp");
const QString kFolderName = QStringLiteral("tessary-utility");

// Permission bits alone mislead: root passes them everywhere, and some folders
// (/proc) refuse new files whatever they say. Only creating a file tells.
bool CanCreateFileIn(const QString& dir)
{
    if (dir.isEmpty() || !QFileInfo(dir).isDir() || !QFileInfo(dir).isWritable())
        return false;
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral("code128-probe-XXXXXX")));
    return probe.open();
}

bool OwnedByThisUser(const QString& dir)
{
    struct stat info {};
    return ::stat(QFile::encodeName(dir).constData(), &info) == 0 && info.st_uid == ::geteuid();
}

// A folder only this user can reach: made here when missing, and checked
// without following a link, so that another user cannot plant one in a shared
// temporary folder and catch the file.
bool UsablePrivateFolder(const QString& dir)
{
    const QByteArray path = QFile::encodeName(dir);
    ::mkdir(path.constData(), 0700);
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()
        || (info.st_mode & 0077) != 0)
        return false;
    return CanCreateFileIn(dir);
}

// $XDG_CACHE_HOME when absolute, else ~/.cache; "" when neither can be known
// (relative values are to be ignored, and without HOME there is no home).
QString UserCacheFolder()
{
    const QString cacheHome = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(cacheHome))
        return QDir(cacheHome).filePath(kFolderName);
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return QDir(home).filePath(QStringLiteral(".cache/") + kFolderName);
    return QString();
}

}  // namespace

bool IsInstalledProgramFolder(const QString& exeDir)
{
    const QString path = QDir::cleanPath(QDir(exeDir).absolutePath());
    for (const char* tail : {"/usr/bin", "/usr/local/bin", "/usr/sbin", "/usr/local/sbin", "/usr/games"}) {
        if (path.endsWith(QLatin1String(tail)))
            return true;
    }
    return false;
}

QString ChooseBarcodeBitmapPath(const BarcodeBitmapFolders& folders)
{
    if (!folders.exeDir.isEmpty() && !IsInstalledProgramFolder(folders.exeDir) && OwnedByThisUser(folders.exeDir)
        && CanCreateFileIn(folders.exeDir))
        return QDir(folders.exeDir).filePath(kBitmapFileName);
    if (!folders.cacheDir.isEmpty()) {
        QDir().mkpath(folders.cacheDir);
        if (CanCreateFileIn(folders.cacheDir))
            return QDir(folders.cacheDir).filePath(kBitmapFileName);
    }
    QStringList privateFolders;
    if (QDir::isAbsolutePath(folders.runtimeDir) && OwnedByThisUser(folders.runtimeDir))
        privateFolders << QDir(folders.runtimeDir).filePath(kFolderName);
    if (!folders.tempDir.isEmpty())
        privateFolders << QDir(folders.tempDir).filePath(QStringLiteral("%1-%2").arg(kFolderName).arg(::geteuid()));
    for (const QString& dir : privateFolders) {
        if (UsablePrivateFolder(dir))
            return QDir(dir).filePath(kBitmapFileName);
    }
    const QString lastResort = folders.cacheDir.isEmpty() ? privateFolders.value(0) : folders.cacheDir;
    return QDir(lastResort).filePath(kBitmapFileName);
}

QString BarcodeBitmapPath()
{
    BarcodeBitmapFolders folders;
    folders.exeDir = QCoreApplication::applicationDirPath();
    folders.cacheDir = UserCacheFolder();
    folders.runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    folders.tempDir = QDir::tempPath();
    return ChooseBarcodeBitmapPath(folders);
}
