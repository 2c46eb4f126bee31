#include "render/staged_pdf.h"

#include "common/tessary_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cstdio>

namespace {

QString UnableToWrite(const QString& path) { return QStringLiteral("Unable to write to %1").arg(path); }

}  // namespace

StagedPdf::StagedPdf(QString path, QString shownPath, std::unique_ptr<QTemporaryDir> folder)
    : path_(std::move(path)), shownPath_(std::move(shownPath)), folder_(std::move(folder))
{
}

StagedPdf::StagedPdf(StagedPdf&& other) noexcept
    : path_(std::move(other.path_)), shownPath_(std::move(other.shownPath_)), folder_(std::move(other.folder_)),
      moved_(other.moved_)
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
    const QFileInfo target(finalPath);
    QTemporaryFile reserve(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    reserve.setAutoRemove(false);
    if (finalPath.isEmpty() || !reserve.open())
        throw TessaryError(UnableToWrite(finalPath));
    const QString path = reserve.fileName();
    reserve.close();
    return StagedPdf(path, finalPath, nullptr);
}

StagedPdf StagedPdf::InTemporaryFolder()
{
    auto folder = std::make_unique<QTemporaryDir>();
    if (!folder->isValid())
        throw TessaryError(UnableToWrite(folder->path()));
    const QString path = folder->filePath(QStringLiteral("passes.pdf"));
    return StagedPdf(path, path, std::move(folder));
}

void StagedPdf::CheckComplete(int expectedPages) const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        throw TessaryError(UnableToWrite(shownPath_));
    if (CompletePdfPageCount(file.readAll()) != expectedPages)
        throw TessaryError(UnableToWrite(shownPath_));
}

void StagedPdf::MoveInto(const QString& finalPath)
{
    // Keep the permissions a plain new file would get; the reserved name was private.
    QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                     | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(finalPath).constData()) != 0)
        throw TessaryError(UnableToWrite(finalPath));
    moved_ = true;
}

int CompletePdfPageCount(const QByteArray& pdf)
{
    const QByteArray tail = pdf.right(64).trimmed();
    if (!pdf.startsWith("%PDF-") || !tail.endsWith("%%EOF") || !pdf.contains("trailer")
        || pdf.lastIndexOf("startxref") < 0)
        return -1;
    // The page tree names its page count once: "/Type /Pages ... /Count N".
    const int pages = pdf.lastIndexOf("/Type /Pages");
    if (pages < 0)
        return -1;
    const int count = pdf.indexOf("/Count ", pages);
    if (count < 0)
        return -1;
    int end = count + 7;
    while (end < pdf.size() && std::isdigit(uchar(pdf[end])))
        ++end;
    bool ok = false;
    const int value = pdf.mid(count + 7, end - count - 7).toInt(&ok);
    return ok ? value : -1;
}
