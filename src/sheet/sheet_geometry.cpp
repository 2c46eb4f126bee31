#include "sheet/sheet_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Whole device pixels toward zero. A value that is not a finite number or does
// not fit in 32 bits gives 0 and marks the geometry as not fitting: a margin of
// "1e10" inches must not wrap round into a plausible position.
class PixelTruncation {
public:
    int operator()(double value)
    {
        if (!std::isfinite(value) || value <= double(std::numeric_limits<int>::min()) - 1.0
            || value >= double(std::numeric_limits<int>::max()) + 1.0) {
            fits = false;
            return 0;
        }
        return int(value);
    }
    int operator()(qint64 value)
    {
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
            fits = false;
            return 0;
        }
        return int(value);
    }
    bool fits = true;
};

}  // namespace

QRect SheetGeometry::Rect(const QRect& layoutPx) const
{
    if (correction.IsNone())
        return layoutPx;
    const int left = X(layoutPx.x());
    const int top = Y(layoutPx.y());
    return QRect(left, top, X(double(layoutPx.x()) + layoutPx.width()) - left,
                 Y(double(layoutPx.y()) + layoutPx.height()) - top);
}

SheetGeometry ComputeSheetGeometry(const LayoutSettings& settings, int dpiX, int dpiY,
                                   const PrinterCorrection& correction)
{
    PixelTruncation trunc;
    SheetGeometry g;
    g.dpiX = dpiX;
    g.dpiY = dpiY;
    g.pageWidthPx = trunc(dpiX * kSheetWidthInches);
    g.pageHeightPx = trunc(qint64(dpiY) * kSheetHeightInches);
    g.leftPx = trunc(settings.leftMarginInches * dpiX);
    g.topPx = trunc(settings.topMarginInches * dpiY);
    if (settings.cols >= 1 && settings.rows >= 1) {
        g.cellWidthPx = trunc((qint64(g.pageWidthPx) - 2 * qint64(g.leftPx)) / settings.cols);
        g.cellHeightPx = trunc((qint64(g.pageHeightPx) - 2 * qint64(g.topPx)) / settings.rows);
    }
    g.sixthXPx = dpiX / 6;
    g.sixthYPx = dpiY / 6;
    g.firstRowYPx = trunc(qint64(g.topPx) - dpiY / 10);
    g.lineStepPx = double(trunc(g.cellWidthPx / 13.25));
    g.headingHeightPx = trunc(settings.fontSizeFactor * (dpiX / 3.5));
    g.validHeightPx = trunc(dpiX / 3.5 * 0.75);
    g.numberHeightPx = trunc(dpiX / 7.5);
    g.textBandPx = trunc(qint64(g.cellHeightPx) - g.sixthXPx / 2);
    g.correction = correction;
    // The corrected far corner must fit as well as the layout's.
    if (!correction.IsNone()) {
        trunc(double(g.pageWidthPx) * correction.scaleXPercent / 100.0 + correction.offsetXInches * dpiX);
        trunc(double(g.pageHeightPx) * correction.scaleYPercent / 100.0 + correction.offsetYInches * dpiY);
    }
    g.pixelsFit = trunc.fits;
    return g;
}

bool LayoutUsable(int entryRowCount, const LayoutSettings& settings, const SheetGeometry& geometry)
{
    // Headings less than a pixel high (a size factor at or below zero, or
    // too small for the resolution) leave every heading line without a
    // glyph: the passes would go out bare without a word.
    return entryRowCount >= 1 && settings.cols >= 1 && settings.rows >= 1 && geometry.pixelsFit
        && geometry.cellHeightPx >= 1 && geometry.cellWidthPx >= 1 && geometry.headingHeightPx >= 1;
}

QPoint CellOriginPx(const SheetGeometry& g, const LayoutSettings& s, int cell)
{
    const int index = std::max(cell, 1) - 1;
    const int cols = std::max(s.cols, 1);
    return QPoint(g.leftPx + (index % cols) * (g.cellWidthPx + s.colAdjustPx),
                  g.firstRowYPx + (index / cols) * (g.cellHeightPx + s.rowAdjustPx));
}
