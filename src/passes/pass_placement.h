#pragma once

#include "passes/pass_list.h"

#include <QtGlobal>
#include <vector>

// Sheets a run of these rows fills: passes over cells per sheet, rounded up, with
// the cells before startCell on the first sheet left empty.
int SheetsNeeded(const std::vector<PassListRow>& rows, int cols, int rowsPerSheet, int startCell = 1);

// Cells of the first sheet left empty before startCell: none for cell 1 or
// less, and never the whole sheet.
qint64 CellsSkippedOnFirstSheet(int startCell, qint64 cellsPerSheet);

// Passes of all rows together; rows below 1 count as none.
qint64 TotalPasses(const std::vector<PassListRow>& rows);
