#pragma once

#include <QByteArray>

class QFile;

// The decimal number after the last key in text, -1 when there is none.
qint64 PdfNumberAfter(const QByteArray& text, const QByteArray& key);

// Pages of a complete PDF file as Qt's writer makes it, or -1 when the file is
// cut short, has lost a part, or is not such a file: it must start with its
// header, end with its trailer, every object its cross-reference table lists
// must begin where the table says, and the page tree gives the count.
int CompletePdfPageCount(const QByteArray& pdf);

// The same for a file on disk, read a piece at a time so that a run of a
// thousand sheets costs no more memory to check than one of ten.
int CompletePdfPageCount(QFile& file);
