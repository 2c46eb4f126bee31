// Files that replace others, made and renamed with POSIX calls on a folder
// handle: the one file that knows those calls.
#include "common/replacement_file.h"

#include "common/tessary_error.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMostLinksFollowed = 40;  // as the kernel allows before ELOOP
constexpr int kNameBytes = 255;         // longest name in a folder on the usual file systems
const QByteArray kStagedPrefix = QByteArrayLiteral(".tessary.");
const QString kRunFolderPrefix = QStringLiteral("tessary-run-");

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// The file a chain of symbolic links ends at (the path itself when it is no
// link, or names nothing yet); empty when the chain loops or is too long.
QByteArray FollowLinkChain(QByteArray path)
{
    if (!path.startsWith('/'))
        path = QFile::encodeName(QDir::currentPath()) + '/' + path;
    for (int hop = 0; hop <= kMostLinksFollowed; ++hop) {
        struct stat info {};
        if (lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = readlink(path.constData(), target.data(), size_t(target.size()));
        if (length <= 0 || length >= target.size())
            return QByteArray();
        target.truncate(length);
        path = target.startsWith('/') ? target : FolderOf(path) + '/' + target;
    }
    return QByteArray();
}

// The first bytes of name that fit in budget without cutting a UTF-8 character.
QByteArray CutName(const QByteArray& name, int budget)
{
    if (name.size() <= budget)
        return name;
    int end = std::max(0, budget);
    while (end > 0 && (uchar(name[end]) & 0xC0) == 0x80)
        --end;
    return name.left(end);
}

// ".tessary.<pid>.<random>.<name>": the prefix and process id let a later run
// find what a dead run left; the name, cut to fit, says what it was for.
QByteArray StagedName(const QByteArray& targetName)
{
    const QByteArray head = kStagedPrefix + QByteArray::number(qint64(getpid())) + '.'
                            + QByteArray::number(QRandomGenerator::global()->bounded(1u << 30), 36) + '.';
    return head + CutName(targetName, kNameBytes - int(head.size()));
}

// The process id in a name made by StagedName or RunTemporaryFolderTemplate; 0 when
// the name is not one of them.
qint64 PidInName(const QByteArray& name, const QByteArray& prefix, char end)
{
    if (!name.startsWith(prefix))
        return 0;
    const qsizetype stop = name.indexOf(end, prefix.size());
    bool ok = false;
    const qint64 pid = stop > prefix.size() ? name.mid(prefix.size(), stop - prefix.size()).toLongLong(&ok) : 0;
    return ok ? pid : 0;
}

// Removes the files that runs of this user left in the folder when they died.
void RemoveDeadRunsLeftovers(int folderFd)
{
    const int listFd = openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* folder = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (!folder) {
        if (listFd >= 0)
            close(listFd);
        return;
    }
    while (const dirent* entry = readdir(folder)) {
        const QByteArray name(entry->d_name);
        const qint64 pid = PidInName(name, kStagedPrefix, '.');
        struct stat info {};
        if (pid <= 0 || pid == getpid() || !ProcessIsGone(pid)
            || fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)
            || info.st_uid != geteuid())
            continue;
        unlinkat(folderFd, entry->d_name, 0);
    }
    closedir(folder);
}

}  // namespace

bool ProcessIsGone(qint64 pid) { return pid > 0 && kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

ReplacementFile::ReplacementFile(const QString& finalPath) : finalPath_(finalPath)
{
    const QByteArray target = finalPath.isEmpty() ? QByteArray() : FollowLinkChain(QFile::encodeName(finalPath));
    const QByteArray name = target.mid(target.lastIndexOf('/') + 1);
    if (name.isEmpty() || name == "." || name == "..")
        throw TessaryError(ErrorText());
    const QByteArray folder = FolderOf(target);
    folderFd_ = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0)
        throw TessaryError(ErrorText());
    folderPath_ = QFile::decodeName(folder == "/" ? QByteArray() : folder);
    targetName_ = QFile::decodeName(name);
    // A rename would replace a device or a folder instead of writing into it.
    struct stat existing {};
    if (fstatat(folderFd_, name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(existing.st_mode)) {
        close(folderFd_);
        throw TessaryError(ErrorText());
    }
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const QByteArray staged = StagedName(name);
        // Created the way a writer creates a new file: the umask gives its permissions.
        fd_ = openat(folderFd_, staged.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            stagedName_ = QFile::decodeName(staged);
        else if (errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        close(folderFd_);
        throw TessaryError(ErrorText());
    }
    RemoveDeadRunsLeftovers(folderFd_);
}

ReplacementFile::~ReplacementFile()
{
    if (!committed_) {
        // Only while the name still stands for this file: whatever someone put
        // in its place is not this run's to remove.
        const QByteArray staged = QFile::encodeName(stagedName_);
        struct stat mine {};
        struct stat named {};
        if (fstat(fd_, &mine) == 0 && fstatat(folderFd_, staged.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0
            && SameFile(mine, named))
            unlinkat(folderFd_, staged.constData(), 0);
    }
    close(fd_);
    close(folderFd_);
}

QString ReplacementFile::ErrorText() const { return QStringLiteral("Unable to write to %1").arg(finalPath_); }

bool ReplacementFile::SyncToDisk() const { return fsync(fd_) == 0; }

void ReplacementFile::CommitOver()
{
    const QByteArray staged = QFile::encodeName(stagedName_);
    const QByteArray target = QFile::encodeName(targetName_);
    struct stat mine {};
    if (fstat(fd_, &mine) != 0)
        throw TessaryError(ErrorText());
    struct stat old {};
    if (fstatat(folderFd_, target.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(old.st_mode))
            throw TessaryError(ErrorText());
        // Root hands the file back to its owner; a user can at least keep a
        // group of their own. What may not be set stays as it was made.
        if ((old.st_uid != mine.st_uid || old.st_gid != mine.st_gid) && fchown(fd_, old.st_uid, old.st_gid) != 0)
            (void)fchown(fd_, uid_t(-1), old.st_gid);
        // After the owner: a change of owner clears the set-id bits.
        (void)fchmod(fd_, old.st_mode & 07777);
    }
    struct stat named {};
    if (fstatat(folderFd_, staged.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(named, mine))
        throw TessaryError(ErrorText());
    if (renameat(folderFd_, staged.constData(), folderFd_, target.constData()) != 0)
        throw TessaryError(ErrorText());
    committed_ = true;
    const bool synced = fsync(folderFd_) == 0;
    // Something swapped in between the check and the rename took the place
    // instead: the operator's file is not what this run wrote.
    if (fstatat(folderFd_, target.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(named, mine)
        || !synced)
        throw TessaryError(ErrorText());
}

QString RunTemporaryFolderTemplate()
{
    const QDir temporary(QDir::tempPath());
    const QByteArray prefix = QFile::encodeName(kRunFolderPrefix);
    for (const QString& entry : temporary.entryList({kRunFolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden)) {
        const QString path = temporary.filePath(entry);
        const qint64 pid = PidInName(QFile::encodeName(entry), prefix, '-');
        struct stat info {};
        if (pid <= 0 || pid == getpid() || !ProcessIsGone(pid) || lstat(QFile::encodeName(path).constData(), &info) != 0
            || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
            continue;
        QDir(path).removeRecursively();
    }
    return temporary.filePath(kRunFolderPrefix + QString::number(getpid()) + QStringLiteral("-XXXXXX"));
}
