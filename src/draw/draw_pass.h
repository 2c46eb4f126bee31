#pragma once

#include "draw/drawing_surface.h"
#include "fonts/heading_style_source.h"
#include "passes/run_pass.h"
#include "sheet/layout_settings.h"
#include "sheet/sheet_geometry.h"

#include <QString>

// What drawing a pass needs besides the pass: the sheet's geometry at the
// output's resolution, the layout's texts, and the heading style read per line.
struct PassPlacement {
    const SheetGeometry& geometry;
    const LayoutSettings& settings;
    const HeadingStyleSource& style;
    const QString& bitmapPath;
};

// Face of the pass number, whatever face the headings use.
inline const QString kPassNumberFace = QStringLiteral("Arial");

// Draws a placed pass into its cell, as the layout has it: the geometry's
// correction moves what is drawn. The pass carries its number, barcode text
// and valid-on day; nothing is decoded here.
void DrawPlacedPass(DrawingSurface& surface, const PassPlacement& placement, const RunPass& pass);

// The cell a placed pass is drawn in, in device pixels (the correction applied).
QRect PlacedCellPx(const PassPlacement& placement, const RunPass& pass);

// Frames each cell of one sheet: its left and top edges as the passes are
// placed, CellWidth by CellHeight, with lines about a hundredth of an inch wide;
// the geometry's correction moves and scales the frames as it does the passes.
void DrawCellOutlines(DrawingSurface& surface, const SheetGeometry& geometry, const LayoutSettings& settings);
