#include "render/staged_pdf.h"

#include "common/tessary_error.h"
#include "render/pdf_completeness.h"
#include "render/removed_on_termination.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString UnableToWrite(const QString& path) { return QStringLiteral("Unable to write to %1").arg(path); }

// A new file created the way the PDF writer would create the operator's file,
// so it gets the permissions the user's umask gives new files.
QString CreateHiddenFileBeside(const QString& target)
{
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->bounded(1u << 30), 36);
        const QString path = info.absoluteDir().filePath(QStringLiteral(".%1.%2").arg(info.fileName(), suffix));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!QFileInfo::exists(path))
            break;
    }
    return QString();
}

// Write errors that the file system reports only when the data goes to the
// disk (network file systems, delayed allocation) show up here.
bool FlushedToDisk(QFile& file)
{
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return file.isOpen();
#endif
}

}  // namespace

StagedPdf::StagedPdf(QString path, QString finalPath, QString target, std::unique_ptr<QTemporaryDir> folder)
    : path_(std::move(path)), finalPath_(std::move(finalPath)), target_(std::move(target)), folder_(std::move(folder))
{
    // The folder first: a stop removes files before folders either way.
    if (folder_)
        guards_.push_back(std::make_unique<RemovedOnTermination>(folder_->path()));
    guards_.push_back(std::make_unique<RemovedOnTermination>(path_));
}

StagedPdf::StagedPdf(StagedPdf&& other) noexcept
    : path_(std::move(other.path_)), finalPath_(std::move(other.finalPath_)), target_(std::move(other.target_)),
      folder_(std::move(other.folder_)), guards_(std::move(other.guards_)), moved_(other.moved_)
{
    other.moved_ = true;
}

StagedPdf::~StagedPdf()
{
    if (!moved_)
        QFile::remove(path_);
}

StagedPdf StagedPdf::BesideFile(const QString& finalPath)
{
    if (finalPath.isEmpty())
        throw TessaryError(UnableToWrite(finalPath));
    const QFileInfo given(finalPath);
    const QString target = given.isSymLink() ? given.symLinkTarget() : given.absoluteFilePath();
    // A rename would replace a device or a folder instead of writing into it.
    if (QFileInfo::exists(target) && !QFileInfo(target).isFile())
        throw TessaryError(UnableToWrite(finalPath));
    const QString path = CreateHiddenFileBeside(target);
    if (path.isEmpty())
        throw TessaryError(UnableToWrite(finalPath));
    return StagedPdf(path, finalPath, target, nullptr);
}

StagedPdf StagedPdf::InTemporaryFolder()
{
    auto folder = std::make_unique<QTemporaryDir>();
    if (!folder->isValid())
        throw TessaryError(UnableToWrite(folder->path()));
    const QString path = folder->filePath(QStringLiteral("passes.pdf"));
    return StagedPdf(path, QString(), QString(), std::move(folder));
}

QString StagedPdf::WriteErrorText() const { return UnableToWrite(finalPath_.isEmpty() ? path_ : finalPath_); }

void StagedPdf::CheckComplete(int expectedPages) const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || (!folder_ && !FlushedToDisk(file)))
        throw TessaryError(WriteErrorText());
    if (CompletePdfPageCount(file) != expectedPages)
        throw TessaryError(WriteErrorText());
}

void StagedPdf::MoveIntoPlace()
{
    if (target_.isEmpty())
        throw TessaryError(UnableToWrite(path_));
    if (QFileInfo::exists(target_)) {
        if (!QFileInfo(target_).isFile())
            throw TessaryError(UnableToWrite(finalPath_));
        QFile::setPermissions(path_, QFile::permissions(target_));
    }
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target_).constData()) != 0)
        throw TessaryError(UnableToWrite(finalPath_));
    moved_ = true;
    guards_.clear();  // the name is free again: a stop from now on must not touch it
}
