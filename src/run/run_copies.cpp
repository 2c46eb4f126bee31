#include "run/run_copies.h"

#include <algorithm>

namespace {

// Ends the page before the next copy; false when the operator has asked to stop.
bool NextPage(const WalkControl& control)
{
    const auto stop = [&control] { return control.stopRequested && control.stopRequested(); };
    if (stop())
        return false;
    control.newPage();
    return !stop();
}

}  // namespace

int WalkCopies(DrawingSurface& surface, const PassPlacement& placement, const std::vector<PassListRow>& rows,
               const WalkControl& control, const RunCopies& copies)
{
    const int count = std::max(1, copies.count);
    int drawn = 0;
    if (count == 1 || copies.collate) {
        for (int copy = 0; copy < count; ++copy) {
            if (copy > 0 && !NextPage(control))
                break;
            drawn += WalkPasses(surface, placement, rows, control);
        }
        return drawn;
    }
    // Uncollated: each sheet of the range walked alone, as often as there are
    // copies; the walk still counts the sheets before it, so every copy of a
    // sheet holds the passes the sheet holds in a full run.
    const int lastSheet = std::min(control.sheets.last, SheetsNeeded(rows, placement.settings.cols,
                                                                     placement.settings.rows, control.startCell));
    bool anyDrawn = false;
    for (int sheet = std::max(1, control.sheets.first); sheet <= lastSheet; ++sheet) {
        if (!control.sheets.Contains(sheet))
            continue;
        WalkControl one = control;
        one.sheets = SheetRange(sheet, sheet);
        for (int copy = 0; copy < count; ++copy) {
            if (anyDrawn && !NextPage(control))
                return drawn;
            anyDrawn = true;
            drawn += WalkPasses(surface, placement, rows, one);
        }
    }
    return drawn;
}
