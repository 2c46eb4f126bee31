// Unnamed files through O_TMPFILE, the one file that knows it.
#include "common/unnamed_file.h"

#include <fcntl.h>
#include <unistd.h>

int OpenUnnamedFile(int folderFd)
{
#ifdef O_TMPFILE
    return openat(folderFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#else
    (void)folderFd;
    return -1;
#endif
}

bool NameUnnamedFile(int fd, int folderFd, const QByteArray& name)
{
    // linkat with AT_EMPTY_PATH needs a privilege; the file's entry in
    // /proc/self/fd, followed, needs none.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return linkat(AT_FDCWD, self.constData(), folderFd, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}
