#pragma once

#include "draw/drawing_surface.h"
#include "fonts/heading_style_source.h"
#include "passes/pass_list.h"
#include "passes/pass_placement.h"
#include "passes/sheet_range.h"
#include "sheet/layout_settings.h"
#include "sheet/sheet_geometry.h"

#include <QRect>
#include <QString>
#include <functional>
#include <vector>

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

// Frames each cell of one sheet: its left and top edges as the walk places them,
// CellWidth by CellHeight, with lines about a hundredth of an inch wide; the
// geometry's correction moves and scales the frames as it does the passes.
void DrawCellOutlines(DrawingSurface& surface, const SheetGeometry& geometry, const LayoutSettings& settings);
