#include "barcode/locked_bitmap_file.h"

#include "common/stop_signal.h"

#include "common/tessary_error.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kFileMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;
// Another program may remove or replace the file while this one waits for the
// lock; each time, the new file is opened and locked instead. Past a few rounds
// something keeps doing so on purpose.
constexpr int kOpenRounds = 16;

[[noreturn]] void ThrowCannotCreate(const QString& path)
{
    throw TessaryError(QString("Cannot create file %1").arg(path));
}

// O_NOFOLLOW refuses a symbolic link as the last part of the path; O_NONBLOCK
// keeps a planted FIFO from stalling the open (it is refused below).
int OpenExisting(const char* name) { return open(name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC); }

int CreateNew(const char* name)
{
    return open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kFileMode);
}

// Another program may hold the lock for long; a stop signal the run defers
// ends the wait.
int LockExclusive(int fd)
{
    int result;
    do {
        result = flock(fd, LOCK_EX);
        if (result != 0 && errno == EINTR && StopSignalReceived() != 0) {
            close(fd);
            throw RunStopped();
        }
    } while (result != 0 && errno == EINTR);
    return result;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

LockedBitmapFile::LockedBitmapFile(const QString& path) : path_(path), handle_(-1), sizeBytes_(0)
{
    const QByteArray name = QFile::encodeName(path);
    for (int round = 0; round < kOpenRounds; ++round) {
        bool created = false;
        int fd = OpenExisting(name.constData());
        if (fd < 0 && errno == ENOENT) {
            fd = CreateNew(name.constData());
            created = fd >= 0;
        }
        if (fd < 0) {
            if (errno == ENOENT || errno == EEXIST)
                continue;  // removed or made by another program in between
            ThrowCannotCreate(path);
        }
        struct stat held;
        struct stat named;
        if (LockExclusive(fd) != 0 || fstat(fd, &held) != 0 || !S_ISREG(held.st_mode) || held.st_nlink > 1) {
            close(fd);
            ThrowCannotCreate(path);
        }
        // Locked; still the file the path names? A file removed or renamed over
        // meanwhile would be locked in vain.
        if (lstat(name.constData(), &named) != 0 || !SameFile(named, held)) {
            close(fd);
            continue;
        }
        // Readable by all whatever the umask, as every earlier version left it.
        if (created && fchmod(fd, kFileMode) != 0) {
            close(fd);
            ThrowCannotCreate(path);
        }
        handle_ = fd;
        sizeBytes_ = held.st_size;
        return;
    }
    ThrowCannotCreate(path);
}

LockedBitmapFile::~LockedBitmapFile()
{
    close(int(handle_));  // releases the lock
}

void LockedBitmapFile::Overwrite(const QByteArray& bytes)
{
    const int fd = int(handle_);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            ThrowCannotCreate(path_);
        done += written;
    }
    if (sizeBytes_ != bytes.size() && ftruncate(fd, off_t(bytes.size())) != 0)
        ThrowCannotCreate(path_);
    sizeBytes_ = bytes.size();
}

QByteArray LockedBitmapFile::ReadAll() const
{
    const int fd = int(handle_);
    // Room for one byte more than was written: a read that comes short has met
    // the end, and only a file grown since needs another round.
    QByteArray bytes(qsizetype(sizeBytes_) + 1, Qt::Uninitialized);
    qsizetype done = 0;
    for (;;) {
        const qsizetype wanted = bytes.size() - done;
        const ssize_t got = pread(fd, bytes.data() + done, size_t(wanted), off_t(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw TessaryError(QString("Cannot open file %1").arg(path_));
        done += got;
        if (got < wanted)
            break;
        bytes.resize(bytes.size() * 2);
    }
    bytes.truncate(done);
    return bytes;
}
