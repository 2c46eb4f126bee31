#include "output/staged_pdf.h"

#include "common/removed_on_termination.h"
#include "common/replacement_file.h"
#include "common/tessary_error.h"
#include "output/pdf_completeness.h"

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString UnableToWrite(const QString& path) { return QStringLiteral("Unable to write to %1").arg(path); }

}  // namespace

StagedPdf::StagedPdf(QString path, int fd, std::unique_ptr<ReplacementFile> replacement,
                     std::unique_ptr<QTemporaryDir> folder)
    : path_(std::move(path)), fd_(fd), replacement_(std::move(replacement)), folder_(std::move(folder))
{
    // The folder first: a stop removes files before folders either way.
    if (folder_)
        guards_.push_back(std::make_unique<RemovedOnTermination>(folder_->path()));
    // An unnamed file (path_ "") goes with the process.
    if (!path_.isEmpty())
        guards_.push_back(std::make_unique<RemovedOnTermination>(path_));
}

StagedPdf::StagedPdf(StagedPdf&& other) noexcept
    : path_(std::move(other.path_)), fd_(other.fd_), replacement_(std::move(other.replacement_)),
      folder_(std::move(other.folder_)), guards_(std::move(other.guards_)), moved_(other.moved_)
{
    other.fd_ = -1;
    other.moved_ = true;
}

StagedPdf::~StagedPdf()
{
    // A replacement file removes its own name unless it was moved into place.
    if (folder_) {
        close(fd_);
        QFile::remove(path_);
    }
}

StagedPdf StagedPdf::BesideFile(const QString& finalPath)
{
    auto replacement = std::make_unique<ReplacementFile>(finalPath);
    const QString path = replacement->path();
    const int fd = replacement->handle();
    return StagedPdf(path, fd, std::move(replacement), nullptr);
}

StagedPdf StagedPdf::InTemporaryFolder()
{
    auto folder = std::make_unique<QTemporaryDir>(RunTemporaryFolderTemplate());
    if (!folder->isValid())
        throw TessaryError(UnableToWrite(folder->path()));
    const QString path = folder->filePath(QStringLiteral("passes.pdf"));
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600);
    if (fd < 0)
        throw TessaryError(UnableToWrite(path));
    return StagedPdf(path, fd, nullptr, std::move(folder));
}

QString StagedPdf::WriteErrorText() const { return replacement_ ? replacement_->ErrorText() : UnableToWrite(path_); }

void StagedPdf::CheckComplete(int expectedPages) const
{
    QFile file;
    // Write errors that the file system reports only when the data goes to the
    // disk (network file systems, delayed allocation) show up in the sync.
    if (!file.open(fd_, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) || !file.seek(0)
        || (replacement_ && !replacement_->SyncToDisk()))
        throw TessaryError(WriteErrorText());
    if (CompletePdfPageCount(file) != expectedPages)
        throw TessaryError(WriteErrorText());
}

void StagedPdf::MoveIntoPlace()
{
    if (!replacement_)
        throw TessaryError(UnableToWrite(path_));
    replacement_->CommitOver();
    moved_ = true;
    guards_.clear();  // the name is free again: a stop from now on must not touch it
}
