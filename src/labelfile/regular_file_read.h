#pragma once

#include <QByteArray>
#include <QString>

// What reading a label file found.
struct RegularFileContent {
    enum class Outcome {
        Read,       // bytes holds the whole file
        Missing,    // nothing by that name (a link to nothing included)
        Unreadable, // a folder, no permission or a read error
        NotAFile,   // a FIFO, a device or a socket: never read
    };
    Outcome outcome = Outcome::Missing;
    QByteArray bytes;
    QString kind;   // for NotAFile: "a FIFO", "a device" or "a socket"
};

// Reads the file at path when it is a regular file. Anything else is refused
// before it is opened, and the open itself cannot wait (for a FIFO's writer,
// a device's line), so something swapped in meanwhile is refused too.
RegularFileContent ReadRegularFile(const QString& path);
