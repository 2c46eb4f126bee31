#pragma once

#include "sheet/layout_settings.h"
#include "sheet/printer_correction.h"

#include <QPoint>
#include <QRect>

// Device-pixel geometry of one US-letter sheet for a layout and a resolution.
struct SheetGeometry {
    int dpiX = 0;
    int dpiY = 0;
    int pageWidthPx = 0;
    int pageHeightPx = 0;
    int leftPx = 0;
    int topPx = 0;
    int cellWidthPx = 0;   // only computed when cols and rows are at least 1
    int cellHeightPx = 0;
    int sixthXPx = 0;
    int sixthYPx = 0;
    int firstRowYPx = 0;
    double lineStepPx = 0.0;  // a whole number kept as a double: positions built from it carry fractions
    int headingHeightPx = 0;
    int validHeightPx = 0;
    int numberHeightPx = 0;
    int textBandPx = 0;
    bool pixelsFit = true;  // every value above fits in 32 bits
    // The output's own offset and scale. Every value above is the layout's;
    // what is drawn goes through X(), Y() and Rect().
    PrinterCorrection correction;

    // Where a position of the layout goes on this output, in device pixels.
    int X(double layoutXPx) const { return correction.MapXPx(layoutXPx, dpiX); }
    int Y(double layoutYPx) const { return correction.MapYPx(layoutYPx, dpiY); }
    // A rectangle of the layout with its corners moved so; whole pixels.
    QRect Rect(const QRect& layoutPx) const;
};

constexpr double kSheetWidthInches = 8.5;
constexpr int kSheetHeightInches = 11;

SheetGeometry ComputeSheetGeometry(const LayoutSettings& settings, int dpiX, int dpiY,
                                   const PrinterCorrection& correction = {});

// The top left corner of a cell of the sheet (counted from 1 across each row
// of cells), in the layout's pixels: the correction is not applied.
QPoint CellOriginPx(const SheetGeometry& geometry, const LayoutSettings& settings, int cell);

// Whether a run can lay anything out: entry rows exist, at least one cell across
// and down, cells at least one pixel wide and high, headings at least one pixel
// high, and every pixel value within 32 bits.
bool LayoutUsable(int entryRowCount, const LayoutSettings& settings, const SheetGeometry& geometry);
