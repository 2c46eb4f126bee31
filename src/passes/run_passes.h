#pragma once

#include "passes/pass_list.h"
#include "passes/run_pass.h"
#include "passes/sheet_range.h"

#include <vector>

// The passes a run of the rows prints on sheets of cols x rowsDown cells, in
// the order it draws them, with the page range and the start cell applied:
// sheets outside the range are left out, so a reprint of sheet 2 lists exactly
// the passes of sheet 2. Throws as decoding a stamp does.
std::vector<RunPass> RunPasses(const std::vector<PassListRow>& rows, int cols, int rowsDown, int startCell,
                               const SheetRange& sheets);

// The sheets the passes lie on, each once, in the order they come: the sheets
// a run of them prints, which a progress line or a preview counts.
std::vector<int> SheetsOf(const std::vector<RunPass>& passes);
