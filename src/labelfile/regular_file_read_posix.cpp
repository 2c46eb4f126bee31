// Reading a label file with POSIX calls, so that a FIFO or a device named as
// one is seen for what it is before anything waits on it.
#include "labelfile/regular_file_read.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Outcome = RegularFileContent::Outcome;

RegularFileContent Found(Outcome outcome, const struct stat* info = nullptr)
{
    RegularFileContent content;
    content.outcome = outcome;
    if (outcome == Outcome::NotAFile && info) {
        content.kind = S_ISFIFO(info->st_mode)                                  ? QStringLiteral("a FIFO")
                       : S_ISCHR(info->st_mode) || S_ISBLK(info->st_mode)       ? QStringLiteral("a device")
                       : S_ISSOCK(info->st_mode)                                ? QStringLiteral("a socket")
                                                                                : QStringLiteral("no plain file");
    }
    return content;
}

// Only a regular file is read; a folder is just unreadable.
Outcome KindOf(const struct stat& info)
{
    if (S_ISREG(info.st_mode))
        return Outcome::Read;
    return S_ISDIR(info.st_mode) ? Outcome::Unreadable : Outcome::NotAFile;
}

}  // namespace

RegularFileContent ReadRegularFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (name.isEmpty() || stat(name.constData(), &info) != 0)
        return Found(errno == ENOENT || errno == ENOTDIR || name.isEmpty() ? Outcome::Missing : Outcome::Unreadable);
    if (KindOf(info) != Outcome::Read)
        return Found(KindOf(info), &info);
    // Without waiting, should a FIFO have taken the name since; O_NONBLOCK
    // changes nothing for reading a regular file.
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Found(Outcome::Unreadable);
    RegularFileContent content = Found(Outcome::Read);
    if (fstat(fd, &info) != 0) {
        content = Found(Outcome::Unreadable);
    } else if (KindOf(info) != Outcome::Read) {
        content = Found(KindOf(info), &info);  // swapped in since the stat
    } else {
        content.bytes.reserve(qsizetype(info.st_size));
        char chunk[65536];
        for (;;) {
            const ssize_t got = read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                content = Found(Outcome::Unreadable);
            if (got <= 0)
                break;
            content.bytes.append(chunk, got);
        }
    }
    close(fd);
    return content;
}
