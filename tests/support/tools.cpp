#include "support/tools.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <dirent.h>
#include <unistd.h>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <sys/stat.h>

void WriteFile(const QString& path, const QByteArray& bytes, unsigned mode)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0) << path.toStdString();
}

void NoteServerStarted(const QString& kind)
{
    const QString tally = qEnvironmentVariable("TESSARY_SERVER_TALLY");
    QFile file(tally);
    if (!tally.isEmpty() && file.open(QIODevice::Append))
        file.write(QStringLiteral("%1 %2 %3\n")
                       .arg(kind, QFileInfo(QCoreApplication::applicationFilePath()).fileName(),
                            qEnvironmentVariable("GTEST_SHARD_INDEX", QStringLiteral("0")))
                       .toUtf8());
}

QString GoldenPdfHash(const QString& pdfPath)
{
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    static const QRegularExpression creationDate(QStringLiteral("/CreationDate \\(D:[^)]*\\)"));
    bytes = QString::fromLatin1(bytes).remove(creationDate).toLatin1();
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

bool HoldsUnnamedFileIn(qint64 pid, const QString& folder)
{
    // Such a file shows in /proc as "<folder>/#<inode> (deleted)".
    const QByteArray prefix = QFile::encodeName(QDir(folder).canonicalPath()) + "/#";
    const QByteArray fds = "/proc/" + QByteArray::number(pid) + "/fd";
    DIR* listing = opendir(fds.constData());
    if (!listing)
        return false;
    bool found = false;
    while (const dirent* entry = readdir(listing)) {
        char target[4096];
        const ssize_t length = readlinkat(dirfd(listing), entry->d_name, target, sizeof(target) - 1);
        if (length <= 0)
            continue;
        const QByteArray link(target, int(length));
        if (link.startsWith(prefix) && link.endsWith(" (deleted)"))
            found = true;
    }
    closedir(listing);
    return found;
}
