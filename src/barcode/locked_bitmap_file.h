#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The barcode bitmap file held for one pass. Every program that writes or reads
// the file through this class takes turns pass by pass: the file is locked
// exclusively from construction until the object goes. A symbolic link at the
// path is never followed and no file with other names (hard links) is written,
// so a planted link cannot turn a write into someone else's file.
// The one place that knows the platform's file calls.
class LockedBitmapFile {
public:
    // Opens the file, creating it (rw-r--r--) when missing, and waits for its
    // lock. Throws "Cannot create file <path>" when the path is a symbolic link or
    // anything but a plain file of one name, or cannot be opened for writing.
    explicit LockedBitmapFile(const QString& path);
    ~LockedBitmapFile();
    LockedBitmapFile(const LockedBitmapFile&) = delete;
    LockedBitmapFile& operator=(const LockedBitmapFile&) = delete;

    // Puts bytes in place of the contents, in the same file; its length is set
    // only when it differs. Throws "Cannot create file <path>".
    void Overwrite(const QByteArray& bytes);

    // The whole contents as they are now. Throws "Cannot open file <path>".
    QByteArray ReadAll() const;

private:
    QString path_;
    std::intptr_t handle_;
    qint64 sizeBytes_;  // the file's length when locked, then as written
};
