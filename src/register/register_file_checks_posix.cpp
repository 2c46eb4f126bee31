#include "register/register_file_checks.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

QString SystemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

QString FolderOf(const QString& file) { return QFileInfo(file).absolutePath(); }

// The file a link names, through every link on the way.
QString Resolved(const QString& file)
{
    char buffer[PATH_MAX];
    return realpath(Native(file).constData(), buffer) ? QFile::decodeName(buffer) : QString();
}

// The refusals' words, one place each.
QString OfAnotherUser(const QString& what, uid_t owner)
{
    return QStringLiteral("%1 belongs to another user (uid %2)").arg(what).arg(owner);
}

QString WritableByOthers(const QString& what, const struct stat& status)
{
    return QStringLiteral("%1 may be written by other users (mode %2)")
        .arg(what)
        .arg(status.st_mode & 07777, 4, 8, QLatin1Char('0'));
}

QString FolderWritableByOthers(const QString& folder)
{
    return QStringLiteral("its folder %1 may be written by other users; %2").arg(folder, kSharedRegisterHint);
}

QString OwnerRefusal(const struct stat& status, const QString& what)
{
    if (status.st_uid == geteuid())
        return QString();
    return OfAnotherUser(what, status.st_uid);
}

}  // namespace

bool RegisterPathExists(const QString& file)
{
    struct stat status {};
    // A name behind a folder this user may not enter is not known to be missing.
    return lstat(Native(file).constData(), &status) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

QString RegisterFolderRefusal(const QString& folder)
{
    struct stat status {};
    if (stat(Native(folder).constData(), &status) != 0)
        return QStringLiteral("its folder %1 cannot be read: %2").arg(folder, SystemReason());
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("%1 is not a folder").arg(folder);
    if (status.st_uid != 0) {
        const QString owner = OwnerRefusal(status, QStringLiteral("its folder ") + folder);
        if (!owner.isEmpty())
            return owner;
    }
    // Sticky or not: SQLite keeps files beside the register (-wal, -shm,
    // -journal) under names that are free between runs, and another user
    // who may make files in the folder could plant them there.
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return FolderWritableByOthers(folder);
    return QString();
}

QString RegisterCompanionRefusal(const QString& file, uid_t owner)
{
    const QFileInfo info(file);
    const QString folderPath = info.absolutePath();
    const int folder = open(Native(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return QStringLiteral("its folder %1 cannot be read: %2").arg(folderPath, SystemReason());
    QString refusal;
    // The folder again, as the handle that finds the files beside the
    // register: not one swapped in since it was looked at by name.
    struct stat held {};
    if (fstat(folder, &held) != 0)
        refusal = QStringLiteral("its folder %1 cannot be read: %2").arg(folderPath, SystemReason());
    else if (held.st_uid != 0 && held.st_uid != owner && held.st_uid != geteuid())
        refusal = OfAnotherUser(QStringLiteral("its folder ") + folderPath, held.st_uid);
    else if ((held.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        refusal = FolderWritableByOthers(folderPath);
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        if (!refusal.isEmpty())
            break;
        const QString name = info.fileName() + QLatin1String(suffix);
        struct stat status {};
        if (fstatat(folder, Native(name).constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                continue;
            refusal = QStringLiteral("its file %1 cannot be read: %2").arg(name, SystemReason());
        } else if (!S_ISREG(status.st_mode)) {
            refusal = QStringLiteral("its file %1 is not a plain file").arg(name);
        } else if (status.st_uid != owner && status.st_uid != geteuid()) {
            refusal = OfAnotherUser(QStringLiteral("its file ") + name, status.st_uid);
        } else if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
            refusal = WritableByOthers(QStringLiteral("its file ") + name, status);
        }
    }
    close(folder);
    return refusal;
}

QString RegisterFileRefusal(const QString& file)
{
    QString refusal = RegisterFolderRefusal(FolderOf(file));
    if (!refusal.isEmpty())
        return refusal;
    struct stat status {};
    if (lstat(Native(file).constData(), &status) != 0)
        return QStringLiteral("it cannot be read: %1").arg(SystemReason());
    QString target = file;
    if (S_ISLNK(status.st_mode)) {
        // A link in a folder others may write in is theirs to point elsewhere.
        refusal = OwnerRefusal(status, QStringLiteral("the link"));
        if (!refusal.isEmpty())
            return refusal;
        target = Resolved(file);
        if (target.isEmpty() || stat(Native(target).constData(), &status) != 0)
            return QStringLiteral("it is a link to nothing that can be read");
        if (status.st_uid != geteuid())
            return QStringLiteral("it is a link to a file of another user (uid %1)").arg(status.st_uid);
        refusal = RegisterFolderRefusal(FolderOf(target));
        if (!refusal.isEmpty())
            return refusal;
    }
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("it is not a register");
    refusal = OwnerRefusal(status, QStringLiteral("it"));
    if (!refusal.isEmpty())
        return refusal;
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return WritableByOthers(QStringLiteral("it"), status);
    return RegisterCompanionRefusal(target, geteuid());
}

QString RegisterReaderRefusal(const QString& file)
{
    struct stat status {};
    if (lstat(Native(file).constData(), &status) != 0)
        return QStringLiteral("it cannot be read: %1").arg(SystemReason());
    QString target = file;
    if (S_ISLNK(status.st_mode)) {
        // A link is as good as the folder it stands in and whoever laid it.
        struct stat linkFolder {};
        if (stat(Native(FolderOf(file)).constData(), &linkFolder) != 0)
            return QStringLiteral("its folder %1 cannot be read: %2").arg(FolderOf(file), SystemReason());
        if ((linkFolder.st_mode & (S_IWGRP | S_IWOTH)) != 0)
            return FolderWritableByOthers(FolderOf(file));
        const uid_t linkOwner = status.st_uid;
        target = Resolved(file);
        if (target.isEmpty() || stat(Native(target).constData(), &status) != 0)
            return QStringLiteral("it is a link to nothing that can be read");
        if (linkOwner != geteuid() && linkOwner != 0 && linkOwner != status.st_uid)
            return OfAnotherUser(QStringLiteral("the link"), linkOwner);
    }
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("it is not a register");
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return WritableByOthers(QStringLiteral("it"), status);
    // Its folder, held, and the files beside it: the register owner's, root's or this user's.
    return RegisterCompanionRefusal(target, status.st_uid);
}

QString NewPrivateFile(const QString& folder, QString* error)
{
    QByteArray name = Native(folder) + "/.issued-passes-XXXXXX";
    const int fd = mkstemp(name.data());  // mode 0600, whatever the umask
    if (fd < 0) {
        *error = SystemReason();
        return QString();
    }
    close(fd);
    return QFile::decodeName(name);
}

namespace {

// link, unlike rename, never replaces a file another program made meanwhile.
// Returns 0 or the link's errno.
int LinkInPlace(const QString& built, const QString& file)
{
    const int linkError = link(Native(built).constData(), Native(file).constData()) == 0 ? 0 : errno;
    unlink(Native(built).constData());
    return linkError;
}

}  // namespace

bool PutRegisterInPlace(const QString& built, const QString& file, QString* error)
{
    const int linkError = LinkInPlace(built, file);
    if (linkError == 0 || linkError == EEXIST)
        return true;
    *error = QString::fromLocal8Bit(std::strerror(linkError));
    return false;
}

namespace {

// 0, or the errno of the open or the fsync.
int SyncPath(const QString& path, int flags)
{
    const int fd = open(Native(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int syncError = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return syncError;
}

}  // namespace

bool SyncFile(const QString& file, QString* error)
{
    const int syncError = SyncPath(file, O_RDONLY);
    if (syncError != 0)
        *error = QString::fromLocal8Bit(std::strerror(syncError));
    return syncError == 0;
}

bool PutNewFileInPlace(const QString& built, const QString& file, QString* error)
{
    const int linkError = LinkInPlace(built, file);
    if (linkError != 0) {
        *error = QString::fromLocal8Bit(std::strerror(linkError));
        return false;
    }
    const int syncError = SyncPath(QFileInfo(file).absolutePath(), O_RDONLY | O_DIRECTORY);
    if (syncError != 0)
        *error = QString::fromLocal8Bit(std::strerror(syncError));
    return syncError == 0;
}
