#pragma once

#include "output/pdf_completeness.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class QTemporaryDir;
class RemovedOnTermination;
class ReplacementFile;

// The PDF a run draws into before anything is handed on. It is removed when the
// object goes unless it has been moved into place, and also when the program is
// stopped by a signal meanwhile, so a failed or stopped run leaves nothing
// behind and an earlier file at the operator's path stays as it was.
class StagedPdf {
public:
    // Beside the operator's file (beside the file a chain of symbolic links
    // ends at), so that moving it into place is one rename. Throws "Unable to
    // write to <finalPath>" when no file can be made there, or when finalPath
    // is a folder, a device or anything else a rename must not replace.
    static StagedPdf BesideFile(const QString& finalPath);
    // In a folder of its own under the system's temporary folder, for a job
    // that goes to a queue.
    static StagedPdf InTemporaryFolder();

    // The open file, created exclusively: the run writes through this handle
    // and nothing opens the file by its name again.
    int handle() const { return fd_; }

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
    // Renames the file over the operator's file, keeping that file's owner,
    // group and permissions as far as the user may; throws "Unable to write to
    // <finalPath>". Only for BesideFile.
    void MoveIntoPlace();

private:
    StagedPdf(QString path, int fd, std::unique_ptr<ReplacementFile> replacement,
              std::unique_ptr<QTemporaryDir> folder);

    QString path_;
    int fd_ = -1;
    std::unique_ptr<ReplacementFile> replacement_;  // for BesideFile
    std::unique_ptr<QTemporaryDir> folder_;         // for a queue
    std::vector<std::unique_ptr<RemovedOnTermination>> guards_;
    bool moved_ = false;
};
