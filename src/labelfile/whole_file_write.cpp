#include "labelfile/whole_file_write.h"

#include "common/replacement_file.h"
#include "common/tessary_error.h"

#include <QFile>

#include <cerrno>
#include <memory>
#include <unistd.h>

namespace {

QString WriteFailure(const QString& path) { return QString("Unable to write to %1").arg(path); }

// Writes bytes from the start of the open file and cuts it there.
bool Overwrite(QFile& file, const QByteArray& bytes)
{
    return file.seek(0) && file.write(bytes) == bytes.size() && file.resize(bytes.size())
           && file.size() == bytes.size();
}

void WriteInPlace(const QString& path, const QByteArray& bytes)
{
    // Read and write, so that opening does not already empty the file; found
    // the way a replacement is, so that no link is followed that it would refuse.
    QFile file;
    if (!file.open(OpenFileToRewriteInPlace(path), QIODevice::ReadWrite | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle))
        throw TessaryError(WriteFailure(path));
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TessaryError(WriteFailure(path));
    if (!Overwrite(file, bytes)) {
        Overwrite(file, old);
        throw TessaryError(WriteFailure(path));
    }
}

// Every byte through the handle; false on any failure, a short write included
// (a full disk, a file size limit).
bool WriteAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    std::unique_ptr<ReplacementFile> replacement;
    try {
        replacement = std::make_unique<ReplacementFile>(path);
    } catch (const SharedFolderRefusal&) {
        throw;  // writing in place would follow the same link or write the same file
    } catch (const TessaryError&) {
        // No new file in this folder: a file already there may still be
        // written where it stands (or the same error comes again).
        return WriteInPlace(path, bytes);
    }
    if (!WriteAll(replacement->handle(), bytes) || !replacement->SyncToDisk())
        throw TessaryError(WriteFailure(path));
    replacement->CommitOver();
}
