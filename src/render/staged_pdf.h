#pragma once

#include "render/pdf_completeness.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class QTemporaryDir;
class RemovedOnTermination;

// The PDF a run draws into before anything is handed on. It is removed when the
// object goes unless it has been moved into place, and also when the program is
// stopped by a signal meanwhile, so a failed or stopped run leaves nothing
// behind and an earlier file at the operator's path stays as it was.
class StagedPdf {
public:
    // Beside the operator's file (beside the file a symbolic link names), so
    // that moving it into place is one rename. Throws "Unable to write to
    // <finalPath>" when no file can be made there, or when finalPath is a
    // folder, a device or anything else a rename must not replace.
    static StagedPdf BesideFile(const QString& finalPath);
    // In a folder of its own under the system's temporary folder, for a job
    // that goes to a queue.
    static StagedPdf InTemporaryFolder();

    StagedPdf(StagedPdf&&) noexcept;
    ~StagedPdf();

    QString path() const { return path_; }
    // "Unable to write to <the operator's file>", or to the staged file for a queue.
    QString WriteErrorText() const;

    // Throws "Unable to write to <path>" unless the file reached the disk and is
    // whole: it ends with its trailer, every object stands where its cross
    // reference table says, and it holds expectedPages pages. A full disk cuts
    // the writer's output short without any error of its own.
    void CheckComplete(int expectedPages) const;
    // Renames the file over the operator's file, keeping that file's permissions;
    // throws "Unable to write to <finalPath>". Only for BesideFile.
    void MoveIntoPlace();

private:
    StagedPdf(QString path, QString finalPath, QString target, std::unique_ptr<QTemporaryDir> folder);

    QString path_;
    QString finalPath_;  // the operator's file, named in errors; empty for a queue
    QString target_;     // what the rename replaces: finalPath_, or the file it links to
    std::unique_ptr<QTemporaryDir> folder_;
    std::vector<std::unique_ptr<RemovedOnTermination>> guards_;
    bool moved_ = false;
};
