// Files that replace others, made and renamed with POSIX calls on a folder
// handle: the one file that knows those calls.
#include "common/replacement_file.h"

#include "common/tessary_error.h"
#include "common/unnamed_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <utility>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMostLinksFollowed = 40;  // as the kernel allows before ELOOP
constexpr int kNameBytes = 255;         // longest name in a folder on the usual file systems
const QByteArray kStagedPrefix = QByteArrayLiteral(".tessary.");
const QString kRunFolderPrefix = QStringLiteral("tessary-run-");
const char* const kLinkOfAnotherUser = "a link";
const char* const kFileOfAnotherUser = "a file";

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Only this user's links and root's are followed, in whatever folder: the
// kernel's protected_symlinks rule guards sticky shared folders alone, and a
// link another user laid in a folder of theirs can point a run of root's at
// any file.
bool MayFollowLink(const struct stat& link) { return link.st_uid == geteuid() || link.st_uid == 0; }

// Another user's file is theirs: replacing it and handing the new file back
// would give them what this run wrote, and root's run would replace it wherever
// it stands.
bool OtherUsersFile(const struct stat& file) { return file.st_uid != geteuid(); }

QList<QByteArray> Components(const QByteArray& path)
{
    QList<QByteArray> parts;
    for (const QByteArray& part : path.split('/')) {
        if (!part.isEmpty() && part != ".")
            parts << part;
    }
    return parts;
}

// Where a path leads once its links are followed: the folder, as an open
// handle and as a path without links ("" for the root), and the name in it.
struct ResolvedName {
    ResolvedName() = default;
    ~ResolvedName() { close(folderFd); }
    ResolvedName(const ResolvedName&) = delete;
    ResolvedName& operator=(const ResolvedName&) = delete;

    // Moves on to the folder part (or ".."), without following a link.
    bool Enter(const QByteArray& part)
    {
        const int next = openat(folderFd, part.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        close(folderFd);
        folderFd = next;
        if (part == "..")
            folderPath.truncate(std::max<qsizetype>(0, folderPath.lastIndexOf('/')));
        else
            folderPath += '/' + part;
        return folderFd >= 0;
    }
    bool StartAt(bool fromRoot)
    {
        close(folderFd);
        folderFd = open(fromRoot ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        folderPath = fromRoot ? QByteArray() : QFile::encodeName(QDir::currentPath());
        if (folderPath == "/")
            folderPath.clear();
        return folderFd >= 0;
    }

    int folderFd = -1;
    QByteArray folderPath;
    QByteArray name;
};

enum class Resolution { Resolved, Failed, RefusedLink };

// Walks path one folder handle at a time, reading each link where it stands,
// so that what is followed is what was checked, whatever is renamed meanwhile.
Resolution Resolve(const QByteArray& path, ResolvedName& at)
{
    if (path.isEmpty() || path.endsWith('/') || !at.StartAt(path.startsWith('/')))
        return Resolution::Failed;
    QList<QByteArray> pending = Components(path);
    int linksFollowed = 0;
    while (!pending.isEmpty()) {
        const QByteArray part = pending.takeFirst();
        const bool last = pending.isEmpty();
        if (part == "..") {
            if (last || !at.Enter(part))
                return Resolution::Failed;
            continue;
        }
        struct stat entry {};
        if (fstatat(at.folderFd, part.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
            at.name = part;
            return last && errno == ENOENT ? Resolution::Resolved : Resolution::Failed;
        }
        if (!S_ISLNK(entry.st_mode)) {
            at.name = part;
            if (last)
                return Resolution::Resolved;
            if (!at.Enter(part))
                return Resolution::Failed;
            continue;
        }
        if (++linksFollowed > kMostLinksFollowed)
            return Resolution::Failed;
        if (!MayFollowLink(entry))
            return Resolution::RefusedLink;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = readlinkat(at.folderFd, part.constData(), target.data(), size_t(target.size()));
        struct stat again {};
        if (length <= 0 || length >= target.size()
            || fstatat(at.folderFd, part.constData(), &again, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(again, entry))
            return Resolution::Failed;
        target.truncate(length);
        if (last && target.endsWith('/'))
            return Resolution::Failed;
        if (target.startsWith('/') && !at.StartAt(true))
            return Resolution::Failed;
        pending = Components(target) + pending;
    }
    return Resolution::Failed;  // the path ends at a folder
}

// 0666 less the umask: the mode of a new file. The umask is read, not set and
// put back, which would leave files other threads make meanwhile unmasked;
// where it cannot be read the file stays private.
mode_t NewFileMode()
{
    QFile status(QStringLiteral("/proc/self/status"));
    const QByteArray lines = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    for (const QByteArray& line : lines.split('\n')) {
        bool ok = false;
        const uint mask = line.startsWith("Umask:") ? line.mid(6).trimmed().toUInt(&ok, 8) : 0;
        if (ok)
            return mode_t(0666 & ~mask);
    }
    return 0600;
}

// The owner and group of the old file as far as this user may give them
// (root hands the file back to its owner; a user can at least keep a group of
// their own), then its permission bits, never the set-id ones, and without
// the group's where the group could not be kept: they were meant for another.
bool CopyOwnerAndMode(int fd, const struct stat& old)
{
    struct stat now {};
    if (fstat(fd, &now) != 0)
        return false;
    const bool ownerDiffers = now.st_uid != old.st_uid || now.st_gid != old.st_gid;
    if (ownerDiffers && fchown(fd, old.st_uid, old.st_gid) != 0 && fchown(fd, uid_t(-1), old.st_gid) != 0) {
        // Not even the group could be kept: what may not be set stays as it
        // was made, and the fstat below sees the group that is there.
    }
    if (fstat(fd, &now) != 0)
        return false;
    mode_t mode = old.st_mode & 0777;
    if (now.st_gid != old.st_gid)
        mode &= ~mode_t(S_IRWXG);
    return fchmod(fd, mode) == 0;
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

QString UnableToWrite(const QString& path) { return QStringLiteral("Unable to write to %1").arg(path); }

QString Refusal(const QString& path, const char* what)
{
    return QStringLiteral("Unable to write to %1: it is %2 of another user")
        .arg(path, QLatin1String(what));
}

// Where path leads, only this user's links and root's followed, and
// whether a file stands at that name (existing). Throws SharedFolderRefusal
// for what another user may have laid, and TessaryError("Unable to write to
// <path>") where it leads nowhere, or to a device, a folder or anything else
// that is to be neither replaced nor written.
bool ResolveForWriting(const QString& path, ResolvedName& at, struct stat& existing)
{
    const Resolution resolution = Resolve(QFile::encodeName(path), at);
    if (resolution == Resolution::RefusedLink)
        throw SharedFolderRefusal(Refusal(path, kLinkOfAnotherUser));
    struct stat folder {};
    if (resolution != Resolution::Resolved || fstat(at.folderFd, &folder) != 0)
        throw TessaryError(UnableToWrite(path));
    if (fstatat(at.folderFd, at.name.constData(), &existing, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISREG(existing.st_mode))
        throw TessaryError(UnableToWrite(path));
    if (OtherUsersFile(existing))
        throw SharedFolderRefusal(Refusal(path, kFileOfAnotherUser));
    return true;
}

}  // namespace

bool ProcessIsGone(qint64 pid) { return pid > 0 && kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

ReplacementFile::ReplacementFile(const QString& finalPath) : finalPath_(finalPath)
{
    ResolvedName resolved;
    struct stat existing {};
    ResolveForWriting(finalPath, resolved, existing);
    const QByteArray& name = resolved.name;
    // Unnamed until CommitOver, where the file system allows: a run killed
    // meanwhile leaves nothing beside the file.
    fd_ = OpenUnnamedFile(resolved.folderFd);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const QByteArray staged = StagedName(name);
        // Private while it is written; CommitOver gives it its mode.
        fd_ = openat(resolved.folderFd, staged.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ >= 0)
            stagedName_ = QFile::decodeName(staged);
        else if (errno != EEXIST)
            break;
    }
    if (fd_ < 0)
        throw TessaryError(ErrorText());
    folderFd_ = std::exchange(resolved.folderFd, -1);
    folderPath_ = QFile::decodeName(resolved.folderPath);
    targetName_ = QFile::decodeName(name);
    RemoveDeadRunsLeftovers(folderFd_);
}

ReplacementFile::~ReplacementFile()
{
    if (!committed_ && !stagedName_.isEmpty()) {
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

QString ReplacementFile::ErrorText() const { return UnableToWrite(finalPath_); }

int OpenFileToRewriteInPlace(const QString& path)
{
    ResolvedName resolved;
    struct stat existing {};
    if (!ResolveForWriting(path, resolved, existing))
        throw TessaryError(UnableToWrite(path));
    const int fd = openat(resolved.folderFd, resolved.name.constData(),
                          O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat opened {};
    if (fd >= 0 && fstat(fd, &opened) == 0 && SameFile(opened, existing))
        return fd;
    if (fd >= 0)
        close(fd);
    throw TessaryError(UnableToWrite(path));  // something else took the name meanwhile
}

bool ReplacementFile::SyncToDisk() const { return fsync(fd_) == 0; }

void ReplacementFile::CommitOver()
{
    if (stagedName_.isEmpty())
        NameStagedFile();
    const QByteArray staged = QFile::encodeName(stagedName_);
    const QByteArray target = QFile::encodeName(targetName_);
    struct stat mine {};
    struct stat folder {};
    if (fstat(fd_, &mine) != 0 || fstat(folderFd_, &folder) != 0)
        throw TessaryError(ErrorText());
    struct stat old {};
    const bool replacing = fstatat(folderFd_, target.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        throw TessaryError(ErrorText());
    if (replacing && OtherUsersFile(old))
        throw SharedFolderRefusal(Refusal(finalPath_, kFileOfAnotherUser));
    if (!(replacing ? CopyOwnerAndMode(fd_, old) : fchmod(fd_, NewFileMode()) == 0))
        throw TessaryError(ErrorText());
    struct stat named {};
    if (fstatat(folderFd_, staged.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(named, mine))
        throw TessaryError(ErrorText());
    if (!TakePlace(replacing ? &old : nullptr))
        throw TessaryError(ErrorText());
    const bool synced = fsync(folderFd_) == 0;
    // Something swapped in between the check and the rename took the place
    // instead: the operator's file is not what this run wrote.
    if (fstatat(folderFd_, target.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(named, mine)
        || !synced)
        throw TessaryError(ErrorText());
}

void ReplacementFile::NameStagedFile()
{
    const QByteArray target = QFile::encodeName(targetName_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray staged = StagedName(target);
        if (NameUnnamedFile(fd_, folderFd_, staged)) {
            stagedName_ = QFile::decodeName(staged);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    throw TessaryError(ErrorText());
}

// Where the file system can, the two names are exchanged and what came out is
// checked to be the file examined (old): a file or link put there meanwhile
// goes back to its name instead of being replaced. A name that was free is
// taken only while it still is. Elsewhere a plain rename does it.
bool ReplacementFile::TakePlace(const struct stat* old)
{
    const QByteArray staged = QFile::encodeName(stagedName_);
    const QByteArray target = QFile::encodeName(targetName_);
#ifdef RENAME_EXCHANGE
    if (renameat2(folderFd_, staged.constData(), folderFd_, target.constData(),
                  old ? RENAME_EXCHANGE : RENAME_NOREPLACE) == 0) {
        if (!old)
            return committed_ = true;
        struct stat out {};
        if (fstatat(folderFd_, staged.constData(), &out, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(out, *old)) {
            committed_ = true;
            return unlinkat(folderFd_, staged.constData(), 0) == 0;
        }
        // Put back; if even that fails, the error stands and nothing of this run is removed.
        (void)renameat2(folderFd_, staged.constData(), folderFd_, target.constData(), RENAME_EXCHANGE);
        return false;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    return committed_ = renameat(folderFd_, staged.constData(), folderFd_, target.constData()) == 0;
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
