#pragma once

#include "labelfile/text_encoding.h"

#include <QByteArray>
#include <QString>

#include <optional>

// An INI text read and written the way the Windows private-profile functions
// treat it: names match regardless of ASCII case, blanks around names and
// values do not count, one pair of outer quotes is taken off a value, ";"
// starts a comment line, and the first matching section and key win.
// Changing a key touches only that key's line; every other byte stays.
class IniDocument {
public:
    // The buffer size of the original reader, less its terminating NUL.
    static constexpr qsizetype MaxValueLength = 2047;

    // An empty document; it becomes a new file with CRLF line ends.
    IniDocument() = default;
    static IniDocument fromBytes(QByteArray bytes);
    // A missing file, a directory or anything unreadable is an empty document.
    // A FIFO, a device or a socket is refused without waiting on it: throws
    // "Unable to read <path>: it is a FIFO, not a file" (or a device, a socket).
    static IniDocument readFile(const QString& path);
    // Like readFile, but a path that exists and cannot be read as a file throws
    // "Unable to write to <path>": saving over it would lose what it holds.
    static IniDocument readFileForUpdate(const QString& path);

    QString value(const QString& section, const QString& key, const QString& defaultValue) const;
    bool hasSection(const QString& section) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    // Writes the whole text as one replacement (see WriteWholeFile); throws
    // "Unable to write to <path>" when that fails.
    void writeFile(const QString& path) const;

    // The file's bytes as they would be written, in the file's own encoding.
    QByteArray bytes() const;
    // The file's encoding: a UTF-16 file stays UTF-16.
    TextEncoding encoding() const { return utf16_ ? *utf16_ : encoding_; }

private:
    struct Line {
        qsizetype start = 0;
        qsizetype contentEnd = 0; // where the line end begins
        qsizetype end = 0;        // after the line end
    };
    struct KeyPlace {
        bool sectionFound = false;
        bool keyFound = false;
        Line keyLine;
        Line lastFilledLine; // the last non-blank line of the section
    };

    Line lineAt(qsizetype start) const;
    KeyPlace find(const QByteArray& section, const QByteArray& key) const;
    QByteArray lineEnd() const;
    QByteArray encoded(const QString& text) const;
    void convertToUtf8();

    // The text being edited: the file's own bytes, or for a UTF-16 file the
    // same text in UTF-8 (lines and names are found byte by byte), turned
    // back into UTF-16 by bytes().
    QByteArray bytes_;
    qsizetype bodyStart_ = 0; // after a UTF-8 byte order mark
    TextEncoding encoding_ = TextEncoding::Utf8; // of bytes_: UTF-8 or Windows-1252
    std::optional<TextEncoding> utf16_;
    QByteArray utf16Tail_; // a last odd byte of a UTF-16 file, kept as it was
};
