#include "passes/pass_placement.h"

#include <algorithm>
#include <limits>

qint64 CellsSkippedOnFirstSheet(int startCell, qint64 cellsPerSheet)
{
    return std::clamp<qint64>(startCell - 1, 0, std::max<qint64>(0, cellsPerSheet - 1));
}

qint64 TotalPasses(const std::vector<PassListRow>& rows)
{
    qint64 total = 0;
    for (const PassListRow& row : rows)
        total += std::max(0, row.quantity());
    return total;
}

int SheetsNeeded(const std::vector<PassListRow>& rows, int cols, int rowsPerSheet, int startCell)
{
    const qint64 cellsPerSheet = qint64(cols) * rowsPerSheet;
    if (cols < 1 || rowsPerSheet < 1)
        return 0;
    const qint64 total = TotalPasses(rows);
    if (total == 0)
        return 0;
    // Bounded, not wrapped: a count past int names no sheet a run could reach.
    const qint64 sheets = (total + CellsSkippedOnFirstSheet(startCell, cellsPerSheet) + cellsPerSheet - 1) / cellsPerSheet;
    return int(std::min<qint64>(sheets, std::numeric_limits<int>::max()));
}
