#pragma once

#include "passes/run_pass.h"

#include <QString>
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

// Looks at the passes a run prints (RunPasses): those of sheets left out of
// it carry no barcode onto paper.
DuplicateBarcodes FindDuplicateBarcodes(const std::vector<RunPass>& passes);

// "N passes of this run would carry the same barcode as another pass (rows 1 and
// 2, lane 03)"
QString DuplicateBarcodesFacts(const DuplicateBarcodes& found);

// The facts, then ". Print anyway?"
QString DuplicateBarcodesQuestion(const DuplicateBarcodes& found);

// "3 copies would print every barcode of this run 3 times. Print anyway?"
QString CopiesQuestion(int copies);
