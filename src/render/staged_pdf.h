#pragma once

#include <QString>
#include <memory>

class QTemporaryDir;

// The PDF a run draws into before anything is handed on. It is removed when the
// object goes unless it has been moved into place, so a failed run leaves
// nothing behind and an earlier file at the operator's path stays as it was.
class StagedPdf {
public:
    // Beside the operator's file, so that moving it into place is one rename.
    static StagedPdf BesideFile(const QString& finalPath);
    // In a folder of its own, for a job that goes to a queue.
    static StagedPdf InTemporaryFolder();

    StagedPdf(StagedPdf&&) noexcept;
    ~StagedPdf();

    QString path() const { return path_; }

    // Throws "Unable to write to <path>" unless the file ends with its trailer and
    // holds expectedPages pages: a full disk leaves the writer's output cut short
    // without any error of its own.
    void CheckComplete(int expectedPages) const;
    // Renames the file over finalPath; throws "Unable to write to <finalPath>".
    void MoveInto(const QString& finalPath);

private:
    StagedPdf(QString path, QString shownPath, std::unique_ptr<QTemporaryDir> folder);

    QString path_;
    QString shownPath_;  // named in errors: the operator's file, or the staging file
    std::unique_ptr<QTemporaryDir> folder_;
    bool moved_ = false;
};

// Pages of a complete PDF file as Qt's writer makes it, or -1 when the file is
// cut short or is not such a file.
int CompletePdfPageCount(const QByteArray& pdf);
