#include "labelfile/whole_file_write.h"

#include "common/tessary_error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    QFile file(path);
    // Read and write, so that opening does not already empty the file.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw TessaryError(WriteFailure(path));
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TessaryError(WriteFailure(path));
    if (!Overwrite(file, bytes)) {
        Overwrite(file, old);
        throw TessaryError(WriteFailure(path));
    }
}

}  // namespace

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        // No temporary file in this folder: a file already there may still be
        // written where it stands.
        if (QFileInfo(path).isFile())
            return WriteInPlace(path, bytes);
        throw TessaryError(WriteFailure(path));
    }
    if (file.write(bytes) != bytes.size())
        throw TessaryError(WriteFailure(path));
    // QFile takes a short write (a full disk, a file size limit) for success,
    // so the written size is checked before the old file is replaced.
    if (!file.flush() || file.size() != bytes.size())
        throw TessaryError(WriteFailure(path));
    if (!file.commit())
        throw TessaryError(WriteFailure(path));
}
