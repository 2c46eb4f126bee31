#pragma once

#include <QByteArray>
#include <QString>

// Replaces the content of the file at path with bytes, creating the file when
// there is none. Normally the bytes go to a temporary file beside it that then
// takes its place, so a failed write leaves the old file as it was. In a
// folder that takes no new file, an existing file the user may write is
// rewritten in place, the whole content in one write; if that fails, the old
// content is written back. Throws "Unable to write to <path>" on failure, and
// the refusals of ReplacementFile for a link or a file of another user, which
// is never rewritten either.
void WriteWholeFile(const QString& path, const QByteArray& bytes);
