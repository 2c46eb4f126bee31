#pragma once

#include "passes/pass_list.h"
#include "render/drawing_surface.h"
#include "render/layout_settings.h"
#include "render/sheet_geometry.h"

#include <QString>
#include <functional>
#include <vector>

// The two heading styles the window keeps live: read again for every line drawn.
class HeadingStyleSource {
public:
    virtual ~HeadingStyleSource() = default;
    virtual bool Centred() const = 0;
    virtual QString FaceName() const = 0;
};

// What the walk needs from the print run around it.
struct WalkControl {
    std::function<void()> newPage;          // ends the sheet and starts an empty one
    std::function<bool()> stopRequested;    // the operator asked to abort
    std::function<void(const QString& barcodeText)> passDrawn = {};  // optional, after each pass
};

struct PassPlacement {
    const SheetGeometry& geometry;
    const LayoutSettings& settings;
    const HeadingStyleSource& style;
    const QString& bitmapPath;
};

// Face of the pass number, whatever face the headings use.
inline const QString kPassNumberFace = QStringLiteral("Arial");

// The text the barcode of the row's pass at passIndex encodes.
QString PassBarcodeText(const PassListRow& row, int passIndex);

// Draws one pass into the cell whose left edge is x0Px and top edge is yPx.
void DrawPass(DrawingSurface& surface, const PassPlacement& placement, int x0Px, int yPx,
              const PassListRow& row, int passIndex);

// Fills sheets with the passes of rows in order, cell by cell, asking for a new
// sheet when one is full and passes remain. Rows with a quantity below 1 print
// nothing. Returns the number of passes drawn.
int WalkPasses(DrawingSurface& surface, const PassPlacement& placement, const std::vector<PassListRow>& rows,
               const WalkControl& control);

// Sheets a run of these rows fills: passes over cells per sheet, rounded up.
int SheetsNeeded(const std::vector<PassListRow>& rows, int cols, int rowsPerSheet);
