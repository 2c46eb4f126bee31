#pragma once

#include "common/tessary_error.h"

#include <QString>

struct stat;

// A refusal to write where another user could have laid a trap: a link of
// theirs (only this user's links and root's are followed, in any folder), or
// a file of theirs, which is never replaced. Writing the file where it stands
// instead would spring the same trap, so callers with a fallback must not
// take it.
class SharedFolderRefusal : public TessaryError {
public:
    using TessaryError::TessaryError;
};

// A new file that is to take the place of the file at a path. It is created
// beside that file, in a folder opened once, and is only ever written through
// its open handle: whoever can rename entries of the folder cannot make the
// writes land in another file. Where the file system allows, it has no name
// until CommitOver, so a run that dies leaves nothing; elsewhere it is made
// exclusively under a name that carries the process id, so that a later run
// can tell the leftover of a run that died (killed, or stopped by a signal
// nothing handled) and remove it.
class ReplacementFile {
public:
    // Follows the symbolic links of finalPath, one folder handle at a time,
    // to the file they end at and creates the new file in that file's folder.
    // A link is followed only when it is this user's or root's. Throws
    // SharedFolderRefusal("Unable to write to <finalPath>: it is a link of
    // another user") or ("...: it is a file of another user") for what another
    // user may have laid,
    // and TessaryError("Unable to write to <finalPath>") when no file can be
    // made there, or when the path names a folder, a device or anything else
    // that a rename must not replace.
    explicit ReplacementFile(const QString& finalPath);
    // Removes the new file unless it has taken the other's place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    int handle() const { return fd_; }
    // The new file's name, "" while it has none.
    QString path() const { return stagedName_.isEmpty() ? QString() : folderPath_ + QLatin1Char('/') + stagedName_; }
    QString ErrorText() const;

    // Whether the written data reached the disk.
    bool SyncToDisk() const;

    // Gives the new file the owner and group of the file it replaces as far as
    // this user may set them, and its permission bits (never wider: the group
    // bits go when the group could not be kept); a new name gets 0666 less the
    // umask. Then swaps it in for that file unless the name no longer stands
    // for the file checked, and syncs the folder so that the change survives a
    // crash. Throws SharedFolderRefusal as the constructor does, or
    // TessaryError(ErrorText()).
    void CommitOver();

private:
    void NameStagedFile();
    bool TakePlace(const struct stat* old);

    QString finalPath_;     // as the caller named it, for messages
    QString folderPath_;    // the folder of the file the links end at
    QString stagedName_;
    QString targetName_;    // the name the rename replaces, within the folder
    int folderFd_ = -1;
    int fd_ = -1;
    bool committed_ = false;
};

// A handle, open for reading and writing, on the existing regular file that
// path leads to, its links followed and checked as ReplacementFile does: for
// writing a file in place where its folder takes no new file. The caller
// closes it. Throws what ReplacementFile throws, and TessaryError("Unable to
// write to <path>") when no such file is there.
int OpenFileToRewriteInPlace(const QString& path);

// The template (for QTemporaryDir) of the folder that keeps the passes of a
// queue job while they are written: under the system's temporary folder, its
// name carrying the process id. Folders that dead runs of this user left there
// are removed first.
QString RunTemporaryFolderTemplate();

// Whether the process with this id is gone (no such process on this system).
bool ProcessIsGone(qint64 pid);
