#pragma once

#include "passes/pass_list.h"
#include "passes/run_pass.h"
#include "passes/sheet_range.h"

#include <QtGlobal>
#include <vector>

// Copies of a run: a file holds them itself, a queue makes its own from one.
struct RunCopies {
    int count = 1;
    bool collate = true;  // the whole run again after the whole run; otherwise each sheet its copies in a row
};

// Which pass lands on which sheet and cell: the one placement every part of a
// run reads (drawing, the duplicate check, the register, the sheet check, the
// progress line and the preview's sheet numbers).
struct PlacedPasses {
    std::vector<RunPass> passes;  // only those of the sheets that print, in the order they are drawn
    std::vector<int> sheets;      // the sheets that print, each once, in order
    int sheetsOfFullRun = 0;      // sheets a run of every sheet fills, the start cell counted
};

// The passes of the rows on sheets of cols x rowsDown cells: rows below 1
// print nothing, the cells before startCell on sheet 1 stay empty, and only
// the sheets the range holds are placed, each exactly as in a full run.
// Every placed pass's barcode text is made here, once. Throws as decoding a
// stamp does, for a row with a pass on a sheet that prints.
PlacedPasses PlacePasses(const std::vector<PassListRow>& rows, int cols, int rowsDown, int startCell,
                         const SheetRange& sheets);

// The sheet each page of a document holds: the sheets once per copy, the
// whole run after the whole run when collated, else each sheet its copies in a row.
std::vector<int> RunPages(const std::vector<int>& sheets, const RunCopies& copies);

// Cells of the first sheet left empty before startCell: none for cell 1 or
// less, and never the whole sheet.
qint64 CellsSkippedOnFirstSheet(int startCell, qint64 cellsPerSheet);

// Passes of all rows together; rows below 1 count as none.
qint64 TotalPasses(const std::vector<PassListRow>& rows);
