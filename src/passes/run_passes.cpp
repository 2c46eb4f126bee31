#include "passes/run_passes.h"

#include "passes/pass_placement.h"
#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"

std::vector<RunPass> RunPasses(const std::vector<PassListRow>& rows, int cols, int rowsDown, int startCell,
                               const SheetRange& sheets)
{
    std::vector<RunPass> passes;
    if (cols < 1 || rowsDown < 1)
        return passes;
    const qint64 cells = qint64(cols) * rowsDown;
    // Position of a pass among all cells of the run, counted from sheet 1's first cell.
    qint64 position = CellsSkippedOnFirstSheet(startCell, cells);
    int entryRow = 0;
    for (const PassListRow& row : rows) {
        ++entryRow;
        const int quantity = row.quantity();
        if (quantity < 1)
            continue;
        const CalendarInstant instant = DecodeValidOnStamp(row.validOnStamp);
        for (int i = 0; i < quantity; ++i, ++position) {
            const qint64 sheet = position / cells + 1;
            if (sheet > sheets.last)
                return passes;
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
            passes.push_back(std::move(pass));
        }
    }
    return passes;
}

std::vector<int> SheetsOf(const std::vector<RunPass>& passes)
{
    std::vector<int> sheets;
    for (const RunPass& pass : passes) {
        if (sheets.empty() || sheets.back() != pass.sheet)
            sheets.push_back(pass.sheet);
    }
    return sheets;
}
