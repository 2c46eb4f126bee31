#pragma once

#include <QString>

// The source of a rows file, read in blocks: a file opened by its path, or
// standard input for "-". Only regular files and pipes (and a terminal on
// standard input) are sources of rows; a device such as /dev/zero is not.
class RowsInput {
public:
    // Throws a TessaryError (usage) "Cannot open file <path>".
    explicit RowsInput(const QString& path);
    ~RowsInput();
    RowsInput(const RowsInput&) = delete;
    RowsInput& operator=(const RowsInput&) = delete;

    bool IsFileOrPipe() const;
    // Up to size bytes into buffer; 0 at the end. Throws a TessaryError (usage)
    // "Cannot read file <name>" on a read error.
    qsizetype Read(char* buffer, qsizetype size, const QString& name);

private:
    int fd_ = -1;
    bool standardInput_ = false;
};
