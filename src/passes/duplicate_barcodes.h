#pragma once

#include "passes/pass_list.h"

#include <QString>
#include <limits>
#include <vector>

// Passes that would carry the barcode of an earlier pass of the same run: rows
// of one lane whose valid-on instants lie fewer seconds apart than the earlier
// row's quantity number their passes alike, and a gate scanner cannot tell
// them apart.
struct DuplicateBarcodes {
    int repeatedPasses = 0;  // passes whose barcode an earlier pass already has
    int firstRow = 0;        // the first such pair: 1-based entry rows
    int secondRow = 0;
    QString lane;
};

// Looks at the passes numbered first..end-1 when all rows' passes are counted
// in order from 0 (rows below 1 have none). Throws as decoding a stamp does.
DuplicateBarcodes FindDuplicateBarcodes(const std::vector<PassListRow>& rows, qint64 first = 0,
                                        qint64 end = std::numeric_limits<qint64>::max());

// "N passes of this run would carry the same barcode as another pass (rows 1 and
// 2, lane 03). Print anyway?"
QString DuplicateBarcodesQuestion(const DuplicateBarcodes& found);
