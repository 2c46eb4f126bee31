#include "render/staged_pdf.h"

#include "common/tessary_error.h"
#include "render/removed_on_termination.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cctype>
#include <climits>
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

qsizetype SkipWhitespace(const QByteArray& pdf, qsizetype at)
{
    while (at < pdf.size() && std::isspace(uchar(pdf[at])))
        ++at;
    return at;
}

// The decimal number at `at`, -1 when there is none; `at` moves past it.
qint64 ReadNumber(const QByteArray& pdf, qsizetype& at)
{
    const qsizetype start = at;
    qint64 value = 0;
    while (at < pdf.size() && std::isdigit(uchar(pdf[at])) && at - start < 18)
        value = value * 10 + (pdf[at++] - '0');
    return at == start ? -1 : value;
}

// Every object the table lists as in use must begin where the table says: a
// part of the file lost in the middle moves everything after it.
bool CrossReferenceTableHolds(const QByteArray& pdf, qsizetype at)
{
    if (pdf.mid(at, 4) != "xref")
        return false;
    at = SkipWhitespace(pdf, at + 4);
    while (at < pdf.size() && std::isdigit(uchar(pdf[at]))) {
        const qint64 first = ReadNumber(pdf, at);
        at = SkipWhitespace(pdf, at);
        const qint64 count = ReadNumber(pdf, at);
        at = SkipWhitespace(pdf, at);
        if (first < 0 || count < 0 || at + count * 20 > pdf.size())
            return false;
        for (qint64 i = 0; i < count; ++i, at += 20) {
            // "oooooooooo ggggg n" plus a two-byte line end.
            qsizetype field = at;
            const qint64 offset = ReadNumber(pdf, field);
            if (field != at + 10 || pdf[at + 17] == 'f')
                continue;
            if (pdf[at + 17] != 'n' || offset >= pdf.size())
                return false;
            const QByteArray header = QByteArray::number(first + i) + ' ';
            if (pdf.mid(offset, header.size()) != header)
                return false;
        }
        at = SkipWhitespace(pdf, at);
    }
    return pdf.mid(at, 7) == "trailer";
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
    const qint64 size = file.size();
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    const QByteArray pdf = mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(size))
                                  : file.readAll();
    if (CompletePdfPageCount(pdf) != expectedPages)
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

int CompletePdfPageCount(const QByteArray& pdf)
{
    if (!pdf.startsWith("%PDF-") || !pdf.right(64).trimmed().endsWith("%%EOF"))
        return -1;
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0)
        return -1;
    qsizetype at = SkipWhitespace(pdf, startxref + 9);
    const qint64 table = ReadNumber(pdf, at);
    if (table < 0 || table >= startxref || !CrossReferenceTableHolds(pdf, qsizetype(table)))
        return -1;
    // The page tree names its page count once: "/Type /Pages ... /Count N".
    const qsizetype pages = pdf.lastIndexOf("/Type /Pages");
    if (pages < 0)
        return -1;
    qsizetype count = pdf.indexOf("/Count ", pages);
    if (count < 0)
        return -1;
    count += 7;
    const qint64 value = ReadNumber(pdf, count);
    return value >= 0 && value <= INT_MAX ? int(value) : -1;
}
