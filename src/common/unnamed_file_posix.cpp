// Unnamed files through O_TMPFILE, the one file that knows it.
#include "common/unnamed_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// linkat with AT_EMPTY_PATH needs a privilege; the file's entry in
// /proc/self/fd, followed, needs none.
QByteArray SelfEntry(int fd) { return "/proc/self/fd/" + QByteArray::number(fd); }

}  // namespace

int OpenUnnamedFile(int folderFd)
{
#ifdef O_TMPFILE
    const int fd = openat(folderFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    // Without /proc (a chroot, a bare sandbox) it could never be named: the
    // caller makes a named file instead, before anything is written.
    struct stat opened {};
    struct stat entry {};
    if (fstat(fd, &opened) == 0 && stat(SelfEntry(fd).constData(), &entry) == 0 && entry.st_dev == opened.st_dev
        && entry.st_ino == opened.st_ino)
        return fd;
    close(fd);
#else
    (void)folderFd;
#endif
    return -1;
}

bool NameUnnamedFile(int fd, int folderFd, const QByteArray& name)
{
    return linkat(AT_FDCWD, SelfEntry(fd).constData(), folderFd, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}
