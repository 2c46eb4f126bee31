#pragma once

#include <QString>

// What the file system says about a register file, before SQLite opens it.
// A register that another user can change is refused: that user could
// rewrite which passes were issued, or take the file's place. Each check
// answers why the file may not be used, or an empty text when it may.

// True when something, even a dangling link, has the name file, or when the
// file system will not say.
bool RegisterPathExists(const QString& file);

// The folder must be this user's or root's, and writable by nobody else
// unless sticky (as /tmp is), where only a file's owner may replace it.
QString RegisterFolderRefusal(const QString& folder);

// The file (or the file a link names) and its folder: a plain file of this
// user's, writable by nobody else.
QString RegisterFileRefusal(const QString& file);

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
