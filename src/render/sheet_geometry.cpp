#include "render/sheet_geometry.h"

namespace {
int Trunc(double value) { return int(value); }
}  // namespace

SheetGeometry ComputeSheetGeometry(const LayoutSettings& settings, int dpiX, int dpiY)
{
    SheetGeometry g;
    g.dpiX = dpiX;
    g.dpiY = dpiY;
    g.pageWidthPx = Trunc(dpiX * kSheetWidthInches);
    g.pageHeightPx = dpiY * kSheetHeightInches;
    g.leftPx = Trunc(settings.leftMarginInches * dpiX);
    g.topPx = Trunc(settings.topMarginInches * dpiY);
    if (settings.cols >= 1 && settings.rows >= 1) {
        g.cellWidthPx = (g.pageWidthPx - 2 * g.leftPx) / settings.cols;
        g.cellHeightPx = (g.pageHeightPx - 2 * g.topPx) / settings.rows;
    }
    g.sixthXPx = dpiX / 6;
    g.sixthYPx = dpiY / 6;
    g.firstRowYPx = g.topPx - (dpiY / 10);
    g.lineStepPx = double(Trunc(g.cellWidthPx / 13.25));
    g.headingHeightPx = Trunc(settings.fontSizeFactor * (dpiX / 3.5));
    g.validHeightPx = Trunc(dpiX / 3.5 * 0.75);
    g.numberHeightPx = Trunc(dpiX / 7.5);
    g.textBandPx = g.cellHeightPx - (g.sixthXPx / 2);
    return g;
}

bool LayoutUsable(int entryRowCount, const LayoutSettings& settings, const SheetGeometry& geometry)
{
    return entryRowCount >= 1 && settings.cols >= 1 && settings.rows >= 1 && geometry.cellHeightPx >= 1
        && geometry.cellWidthPx >= 1;
}
