#pragma once

#include <QString>

#include <sys/types.h>

// What the file system says about a register file, before SQLite opens it.
// A register that another user can change is refused: that user could
// rewrite which passes were issued, or take the file's place. Each check
// answers why the file may not be used, or an empty text when it may.

// True when something, even a dangling link, has the name file, or when the
// file system will not say.
bool RegisterPathExists(const QString& file);

// Where a register belongs that a folder of its own cannot hold.
inline const QString kSharedRegisterHint = QStringLiteral(
    "a register shared between desks belongs in PostgreSQL, and one desk's in a folder of the user's own");

// The folder must be this user's or root's, and writable by nobody else,
// sticky or not.
QString RegisterFolderRefusal(const QString& folder);

// The file (or the file a link names) and its folder: a plain file of this
// user's, writable by nobody else, and so is every file SQLite keeps beside it.
QString RegisterFileRefusal(const QString& file);

// The register file's folder, through a handle of its own: owner's, this
// user's or root's and writable by nobody else; and through that handle the
// files SQLite keeps beside the register (-wal, -shm, -journal), those that
// exist: plain files of this user's or owner's that nobody else may write.
QString RegisterCompanionRefusal(const QString& file, uid_t owner);

// For a look-up, which may read another user's register: a link only in a
// folder nobody else may write, laid by this user, root or the register's
// owner; the file a plain one nobody but its owner may write; its folder and
// the files beside it as RegisterCompanionRefusal says.
QString RegisterReaderRefusal(const QString& file);

// A new empty file of mode 0600 in folder, for a new register to be built in
// before it takes its name; empty, and why in error, when it cannot be made.
QString NewPrivateFile(const QString& folder, QString* error);

// Gives built the name file unless a file of that name appeared meanwhile
// (another program made the register first: built is then not needed).
// Removes the name built either way; false, and why in error, on failure.
bool PutRegisterInPlace(const QString& built, const QString& file, QString* error);

// Writes what the file holds to the disk; false, and why in error, when it cannot.
bool SyncFile(const QString& file, QString* error);

// Gives built the name file, which must not exist yet, and writes the new name
// to the disk; removes the name built either way. False, and why in error,
// when file exists or the link fails.
bool PutNewFileInPlace(const QString& built, const QString& file, QString* error);
