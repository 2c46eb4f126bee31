#include "support/small_tmpfs.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

SmallTmpfs::SmallTmpfs(qint64 sizeBytes)
{
    if (geteuid() != 0) {
        error_ = QStringLiteral("mounting a tmpfs of the test's own needs root");
        return;
    }
    if (!folder_.isValid()) {
        error_ = QStringLiteral("no temporary folder to mount on");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(sizeBytes) + ",mode=0755";
    if (::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0) {
        error_ = QStringLiteral("mount of a tmpfs failed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    mounted_ = true;
}

SmallTmpfs::~SmallTmpfs()
{
    if (!mounted_)
        return;
    const QByteArray path = QFile::encodeName(folder_.path());
    // Lazily when a file is still open on it, so that the folder is never left mounted.
    if (::umount2(path.constData(), 0) != 0)
        ::umount2(path.constData(), MNT_DETACH);
}

bool SmallTmpfs::Fill()
{
    QFile filler(FilePath(QStringLiteral("filler")));
    if (!mounted_ || !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, '\0');
    while (filler.write(block) == block.size()) {
    }
    // The last partial write may have left a few bytes.
    while (filler.write(block.left(1)) == 1) {
    }
    return true;
}

void SmallTmpfs::Unfill() { QFile::remove(FilePath(QStringLiteral("filler"))); }
