#include "draw/pass_walk.h"

#include "draw/draw_code128.h"
#include "draw/rotated_text.h"
#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"

#include <QLocale>
#include <QRect>

#include <algorithm>

namespace {

constexpr int kTextAngle = 270;
constexpr int kBarcodeValueA = 25;
constexpr int kBarcodeValueB = 1750;
constexpr int kBarcodeOption = 3;

int Trunc(double value) { return int(value); }

// Blank after removing leading and trailing blanks and control characters.
bool IsBlankLine(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > u' ')
            return false;
    }
    return true;
}

void DrawHeadingLine(DrawingSurface& surface, const PassPlacement& p, int lineNumber, double xPx, int yPx)
{
    const QString& text = p.settings.headingLines[lineNumber - 1];
    if (IsBlankLine(text))
        return;
    const SheetGeometry& g = p.geometry;
    DrawRotatedText(surface, text, g.X(xPx), g.Y(yPx), kTextAngle, g.headingHeightPx,
                    p.settings.headingBold[lineNumber - 1], p.style.Centred(),
                    g.correction.ScaleYLengthPx(g.textBandPx), p.style.FaceName());
}

// Index of the first row from `from` on that has passes to print, or rows.size().
std::size_t NextPrintableRow(const std::vector<PassListRow>& rows, std::size_t from)
{
    while (from < rows.size() && rows[from].quantity() < 1)
        ++from;
    return from;
}

}  // namespace

QString PassBarcodeText(const PassListRow& row, int passIndex)
{
    return BarcodeText(PassNumberText(DecodeValidOnStamp(row.validOnStamp), passIndex), row.lane);
}

void DrawPass(DrawingSurface& surface, const PassPlacement& p, int x0Px, int yPx, const PassListRow& row,
              int passIndex)
{
    const CalendarInstant instant = DecodeValidOnStamp(row.validOnStamp);
    const QString passNumber = PassNumberText(instant, passIndex);
    const QString barcode = BarcodeText(passNumber, row.lane);
    const QString validLine = QStringLiteral("Valid: ") + ShortMonthDateText(DateOf(instant));
    const SheetGeometry& g = p.geometry;

    double x = x0Px + g.lineStepPx;
    DrawHeadingLine(surface, p, 5, x, yPx);
    x += g.lineStepPx;
    DrawHeadingLine(surface, p, 4, x, yPx);
    x += g.lineStepPx;
    // Positions are the layout's until drawn: the output's correction moves
    // them, never the sizes of glyphs or bars.
    DrawRotatedText(surface, validLine, g.X(x), g.Y(yPx), kTextAngle, g.validHeightPx, false, p.style.Centred(),
                    g.correction.ScaleYLengthPx(g.textBandPx), p.style.FaceName());
    x += g.lineStepPx;
    DrawCode128(surface, g.X(x), g.Y(yPx + Trunc(1.75 * g.sixthYPx)), kBarcodeValueA, kBarcodeValueB, g.dpiX,
                g.dpiY, barcode, kBarcodeOption, p.bitmapPath);
    DrawRotatedText(surface, passNumber, g.X(x), g.Y(yPx + 6 * g.sixthYPx), kTextAngle, g.numberHeightPx, false,
                    false, 0, kPassNumberFace);
    x += 4.25 * g.lineStepPx;
    x += g.sixthXPx;
    DrawHeadingLine(surface, p, 3, x, yPx);
    x += g.lineStepPx;
    DrawHeadingLine(surface, p, 2, x, yPx);
    x += g.lineStepPx;
    DrawHeadingLine(surface, p, 1, x, yPx);
}

namespace {

int WalkSheets(DrawingSurface& surface, const PassPlacement& p, const std::vector<PassListRow>& rows,
               const WalkControl& control, const std::function<void()>& sheetDone)
{
    const SheetGeometry& g = p.geometry;
    const LayoutSettings& s = p.settings;
    const auto stop = [&control] { return control.stopRequested && control.stopRequested(); };

    std::size_t k = NextPrintableRow(rows, 0);
    int passIndex = 0;
    int drawn = 0;
    const qint64 cellsPerSheet = qint64(s.cols) * s.rows;
    qint64 cellsToSkip = CellsSkippedOnFirstSheet(control.startCell, cellsPerSheet);
    bool anySheetDrawn = false;
    for (int sheet = 1; k < rows.size() && sheet <= control.sheets.last; ++sheet) {
        const bool paged = control.sheets.Contains(sheet);
        const bool drawing = paged && (!control.fillSheet || control.fillSheet(sheet));
        if (paged) {
            if (anySheetDrawn) {
                sheetDone();
                if (stop())
                    return drawn;
                control.newPage();
                if (stop())
                    return drawn;
            }
            anySheetDrawn = true;
            if (drawing && control.sheetBegun)
                control.sheetBegun(sheet);
        }
        int y = g.firstRowYPx;
        for (int r = 0; r < s.rows; ++r) {
            int x = g.leftPx;
            for (int c = 0; c < s.cols; ++c) {
                if (cellsToSkip > 0) {
                    --cellsToSkip;
                } else {
                    if (drawing) {
                        DrawPass(surface, p, x, y, rows[k], passIndex);
                        ++drawn;
                        if (control.passDrawn || control.passPlaced) {
                            const QString barcodeText = PassBarcodeText(rows[k], passIndex);
                            if (control.passDrawn)
                                control.passDrawn(barcodeText);
                            if (control.passPlaced)
                                control.passPlaced(barcodeText, g.Rect(QRect(x, y, g.cellWidthPx, g.cellHeightPx)));
                        }
                    }
                    ++passIndex;
                    if (passIndex >= rows[k].quantity()) {
                        k = NextPrintableRow(rows, k + 1);
                        passIndex = 0;
                        if (k >= rows.size())
                            return drawn;
                    }
                }
                x += g.cellWidthPx + s.colAdjustPx;
                if (drawing && stop())
                    return drawn;
            }
            y += g.cellHeightPx + s.rowAdjustPx;
            if (drawing && stop())
                return drawn;
        }
    }
    return drawn;
}

}  // namespace

int WalkPasses(DrawingSurface& surface, const PassPlacement& p, const std::vector<PassListRow>& rows,
               const WalkControl& control)
{
    // Outlines go over a sheet's passes once they are drawn: the passes' text
    // bands are filled white and would break lines drawn before them.
    bool outlinesDue = false;
    WalkControl walk = control;
    walk.sheetBegun = [&control, &outlinesDue](int sheet) {
        outlinesDue = control.outlineCells;
        if (control.sheetBegun)
            control.sheetBegun(sheet);
    };
    const auto sheetDone = [&] {
        if (outlinesDue)
            DrawCellOutlines(surface, p.geometry, p.settings);
        outlinesDue = false;
    };
    const int drawn = WalkSheets(surface, p, rows, walk, sheetDone);
    sheetDone();
    return drawn;
}

void DrawCellOutlines(DrawingSurface& surface, const SheetGeometry& g, const LayoutSettings& s)
{
    const int lineWidthPx = std::max(1, g.dpiX / 100);
    int y = g.firstRowYPx;
    for (int r = 0; r < s.rows; ++r) {
        int x = g.leftPx;
        for (int c = 0; c < s.cols; ++c) {
            surface.frameRect(g.Rect(QRect(x, y, g.cellWidthPx, g.cellHeightPx)), lineWidthPx);
            x += g.cellWidthPx + s.colAdjustPx;
        }
        y += g.cellHeightPx + s.rowAdjustPx;
    }
}
