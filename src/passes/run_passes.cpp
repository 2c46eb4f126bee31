#include "passes/run_passes.h"

#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"

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

PlacedPasses PlacePasses(const std::vector<PassListRow>& rows, int cols, int rowsDown, int startCell,
                         const SheetRange& sheets)
{
    PlacedPasses placed;
    if (cols < 1 || rowsDown < 1)
        return placed;
    const qint64 cells = qint64(cols) * rowsDown;
    const qint64 skipped = CellsSkippedOnFirstSheet(startCell, cells);
    const qint64 total = TotalPasses(rows);
    // Bounded, not wrapped: a count past int names no sheet a run could reach.
    placed.sheetsOfFullRun =
        total == 0 ? 0 : int(std::min<qint64>((total + skipped + cells - 1) / cells, std::numeric_limits<int>::max()));
    // Position of a pass among all cells of the run, counted from sheet 1's first cell.
    qint64 position = skipped;
    int entryRow = 0;
    for (const PassListRow& row : rows) {
        ++entryRow;
        const int quantity = row.quantity();
        if (quantity < 1)
            continue;
        const qint64 firstSheet = position / cells + 1;
        if (firstSheet > sheets.last)
            break;
        const qint64 lastSheet = (position + quantity - 1) / cells + 1;
        bool anyPrinted = false;
        for (qint64 sheet = firstSheet; sheet <= lastSheet && !anyPrinted; ++sheet)
            anyPrinted = sheets.Contains(int(sheet));
        if (!anyPrinted) {
            // None of the row's passes lands on a sheet that prints: its stamp is not read.
            position += quantity;
            continue;
        }
        const CalendarInstant instant = DecodeValidOnStamp(row.validOnStamp);
        for (int i = 0; i < quantity; ++i, ++position) {
            const qint64 sheet = position / cells + 1;
            if (!sheets.Contains(int(sheet)))
                continue;
            RunPass pass;
            pass.passNumber = PassNumberText(instant, i);
            pass.barcode = BarcodeText(pass.passNumber, row.lane);
            pass.lane = row.lane;
            pass.validOn = instant;
            pass.sheet = int(sheet);
            pass.cell = int(position % cells) + 1;
            pass.row = entryRow;
            if (placed.sheets.empty() || placed.sheets.back() != pass.sheet)
                placed.sheets.push_back(pass.sheet);
            placed.passes.push_back(std::move(pass));
        }
    }
    return placed;
}

std::vector<int> RunPages(const std::vector<int>& sheets, const RunCopies& copies)
{
    const int count = std::max(1, copies.count);
    std::vector<int> pages;
    pages.reserve(sheets.size() * std::size_t(count));
    for (int copy = 0; copy < (copies.collate ? count : 1); ++copy) {
        for (const int sheet : sheets)
            pages.insert(pages.end(), copies.collate ? 1 : count, sheet);
    }
    return pages;
}
