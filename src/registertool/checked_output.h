#pragma once

#include <QString>
#include <QTextStream>
#include <memory>

// Text written to a descriptor (standard output, or a device or named pipe
// given as a file) with every write and the close checked: a script reading
// the output must learn when it is not whole, be the disk full, the reader
// gone or the descriptor closed. After a failed write nothing more is written,
// so that a reader never gets a gap in the middle of the text.
class CheckedOutput {
public:
    // Takes the descriptor over; name is what a message calls it. Made
    // before anything else opens a descriptor, so that a closed one is seen
    // as closed rather than as the next file opened.
    CheckedOutput(int descriptor, const QString& name);
    ~CheckedOutput();
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    QTextStream& Stream() { return stream_; }

    // Writes what the stream still holds and closes the descriptor. Returns ""
    // or what failed, as "cannot write NAME: REASON".
    QString Finish();

private:
    class Device;
    std::unique_ptr<Device> device_;
    QTextStream stream_;
    QString name_;
};

// Writes text as UTF-8 to the file at path, whole or not at all: a regular
// file, or one not there yet, gets a new file renamed over it once written;
// anything else (a device, a named pipe) is written to, as a rename would
// put a file in its place. Returns "" or "cannot write PATH: REASON".
QString WriteOutputFile(const QString& path, const QString& text);
