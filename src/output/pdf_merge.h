#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

// Joins PDF files that this program's PDF writer made (one cross-reference
// table each, no object streams) into one PDF whose pages are theirs, in the
// order given: every object is copied as it is, renumbered, under one page
// tree; the first file's document information is kept. The streams' bytes
// (page contents, images, fonts) are never decoded. Throws writeErrorText when
// out does not take the bytes, and "<part> is not a PDF this
// program can join" when a part cannot be read as such.
void JoinPdfFiles(const QStringList& parts, QIODevice& out, const QString& writeErrorText);
