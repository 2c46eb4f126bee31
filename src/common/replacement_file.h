#pragma once

#include <QString>

// A new file that is to take the place of the file at a path. It is created
// beside that file, in a folder opened once, exclusively and without following
// a link, and is only ever written through its open handle: whoever can rename
// entries of the folder cannot make the writes land in another file. Its name
// carries the process id, so that a later run can tell the leftover of a run
// that died (killed, or stopped by a signal nothing handled) and remove it.
class ReplacementFile {
public:
    // Follows the whole chain of symbolic links at finalPath to the file they
    // end at and creates the new file in that file's folder. Throws
    // TessaryError("Unable to write to <finalPath>") when no file can be made
    // there, or when the path names a folder, a device or anything else that a
    // rename must not replace.
    explicit ReplacementFile(const QString& finalPath);
    // Removes the new file unless it has taken the other's place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    int handle() const { return fd_; }
    QString path() const { return folderPath_ + QLatin1Char('/') + stagedName_; }
    QString ErrorText() const;

    // Whether the written data reached the disk.
    bool SyncToDisk() const;

    // Gives the new file the owner, group and mode of the file it replaces (as
    // far as this user may set them), renames it over that file unless its name
    // no longer stands for the file written, and syncs the folder so that the
    // rename survives a crash. Throws TessaryError(ErrorText()).
    void CommitOver();

private:
    QString finalPath_;     // as the caller named it, for messages
    QString folderPath_;    // the folder of the file the links end at
    QString stagedName_;
    QString targetName_;    // the name the rename replaces, within the folder
    int folderFd_ = -1;
    int fd_ = -1;
    bool committed_ = false;
};

// The template (for QTemporaryDir) of the folder that keeps the passes of a
// queue job while they are written: under the system's temporary folder, its
// name carrying the process id. Folders that dead runs of this user left there
// are removed first.
QString RunTemporaryFolderTemplate();

// Whether the process with this id is gone (no such process on this system).
bool ProcessIsGone(qint64 pid);
