#pragma once

#include "common/tessary_error.h"

#include <QString>
#include <QStringList>

// Passes whose barcodes read on the sheet only along a strip of their bars: a
// heading or another pass covers the rest. A hand scanner still reads them
// when it is laid along that strip, so the operator may print them, but only
// on purpose.

// "The barcodes of passes 49584800, 49584801 and 3 more read only in part on
// the sheet: a heading or another pass covers some of their bars."
QString PartlyReadText(const QStringList& passNumbers);

// The window's question: the text and "Print anyway?".
QString PartlyReadQuestion(const QStringList& passNumbers);

// A run that found such passes and was not told to print them.
class PartlyReadBarcodesError : public TessaryError {
public:
    explicit PartlyReadBarcodesError(const QStringList& passNumbers);
    const QStringList& passNumbers() const { return passNumbers_; }

private:
    QStringList passNumbers_;
};
