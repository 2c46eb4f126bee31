#pragma once

#include "passes/pass_list.h"
#include "render/drawing_surface.h"
#include "render/layout_settings.h"
#include "render/sheet_geometry.h"

#include <QRect>
#include <QString>
#include <functional>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

// The two heading styles the window keeps live: read again for every line drawn.
class HeadingStyleSource {
public:
    virtual ~HeadingStyleSource() = default;
    virtual bool Centred() const = 0;
    virtual QString FaceName() const = 0;
};

// Which sheets of the range print: all, or only the odd- or even-numbered
// sheets of the full run (the print dialog's Odd Pages and Even Pages).
enum class SheetSet { All, Odd, Even };

// Sheets of a run, counted from 1 as in a full run; both ends included. A list
// of pieces ("1,3-5") narrows it to the sheets the pieces name, and the set to
// its odd or even sheets.
struct SheetRange {
    SheetRange() = default;
    SheetRange(int firstSheet, int lastSheet) : first(firstSheet), last(lastSheet) {}

    int first = 1;
    int last = std::numeric_limits<int>::max();
    std::vector<std::pair<int, int>> pieces;
    SheetSet set = SheetSet::All;
    bool Contains(int sheet) const
    {
        if (sheet < first || sheet > last)
            return false;
        if ((set == SheetSet::Odd && sheet % 2 == 0) || (set == SheetSet::Even && sheet % 2 == 1))
            return false;
        if (pieces.empty())
            return true;
        for (const auto& [from, to] : pieces) {
            if (sheet >= from && sheet <= to)
                return true;
        }
        return false;
    }
};

// A list of sheets as the operator types it: "2", "2-5", "1,3-4", "2-" (to the
// last sheet); nothing for anything else.
std::optional<SheetRange> ParseSheetList(const QString& text);

// What the walk needs from the print run around it.
struct WalkControl {
    std::function<void()> newPage;          // ends the sheet and starts an empty one
    std::function<bool()> stopRequested;    // the operator asked to abort
    SheetRange sheets;                      // sheets outside it are counted, not drawn
    int startCell = 1;                      // first cell of sheet 1 that takes a pass
    bool outlineCells = false;              // frame every cell of each sheet drawn, over its passes
    std::function<void(int sheet)> sheetBegun;               // a sheet is about to be drawn
    std::function<void(const QString& barcodeText)> passDrawn;  // after each pass
    std::function<bool(int sheet)> fillSheet;  // when set and false for a sheet drawn: its page stays empty
    std::function<void(const QString& barcodeText, const QRect& cellPx)> passPlaced;  // after each pass, with its cell as drawn
};

struct PassPlacement {
    const SheetGeometry& geometry;
    const LayoutSettings& settings;
    const HeadingStyleSource& style;
    const QString& bitmapPath;
};

// Face of the pass number, whatever face the headings use.
inline const QString kPassNumberFace = QStringLiteral("Arial");

// The barcode text of a row's pass: its number followed by the lane code.
QString PassBarcodeText(const PassListRow& row, int passIndex);

// Draws one pass into the cell whose left edge is x0Px and top edge is yPx, as
// the layout has them: the geometry's correction moves what is drawn.
void DrawPass(DrawingSurface& surface, const PassPlacement& placement, int x0Px, int yPx,
              const PassListRow& row, int passIndex);

// Fills sheets with the passes of rows in order, cell by cell, asking for a new
// sheet when one is full and passes remain. Rows with a quantity below 1 print
// nothing. Cells before the start cell on sheet 1 stay empty. Sheets outside the
// control's range are walked without drawing, so each sheet drawn holds exactly
// the passes it holds in a full run. Returns the number of passes drawn.
int WalkPasses(DrawingSurface& surface, const PassPlacement& placement, const std::vector<PassListRow>& rows,
               const WalkControl& control);

// Sheets a run of these rows fills: passes over cells per sheet, rounded up, with
// the cells before startCell on the first sheet left empty.
int SheetsNeeded(const std::vector<PassListRow>& rows, int cols, int rowsPerSheet, int startCell = 1);

// Cells of the first sheet left empty before startCell: none for cell 1 or
// less, and never the whole sheet.
qint64 CellsSkippedOnFirstSheet(int startCell, qint64 cellsPerSheet);

// Passes of all rows together; rows below 1 count as none.
qint64 TotalPasses(const std::vector<PassListRow>& rows);

// Frames each cell of one sheet: its left and top edges as the walk places them,
// CellWidth by CellHeight, with lines about a hundredth of an inch wide; the
// geometry's correction moves and scales the frames as it does the passes.
void DrawCellOutlines(DrawingSurface& surface, const SheetGeometry& geometry, const LayoutSettings& settings);
