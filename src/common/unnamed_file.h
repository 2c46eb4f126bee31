#pragma once

#include <QByteArray>

// A file that has no name until it is complete: a run killed while it writes
// leaves nothing in the folder. Where the file system cannot make one, the
// caller makes a named file instead.

// A new file of mode 0600 with no name in the folder, open for reading and
// writing; -1 where the file system does not make such files or where it
// could not be named later (no /proc).
int OpenUnnamedFile(int folderFd);

// Gives the unnamed file open at fd the name in the folder, which must be
// free. False, with errno set, when it cannot (EEXIST: the name is taken).
bool NameUnnamedFile(int fd, int folderFd, const QByteArray& name);
