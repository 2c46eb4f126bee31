#include "draw/draw_pass.h"

#include "draw/draw_code128.h"
#include "draw/rotated_text.h"
#include "passes/month_date_text.h"
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

}  // namespace

void DrawPlacedPass(DrawingSurface& surface, const PassPlacement& p, const RunPass& pass)
{
    const QPoint cell = CellOriginPx(p.geometry, p.settings, pass.cell);
    const int x0Px = cell.x();
    const int yPx = cell.y();
    const QString& passNumber = pass.passNumber;
    const QString& barcode = pass.barcode;
    const QString validLine = QStringLiteral("Valid: ") + ShortMonthDateText(DateOf(pass.validOn));
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

QRect PlacedCellPx(const PassPlacement& p, const RunPass& pass)
{
    const SheetGeometry& g = p.geometry;
    return g.Rect(QRect(CellOriginPx(g, p.settings, pass.cell), QSize(g.cellWidthPx, g.cellHeightPx)));
}

void DrawCellOutlines(DrawingSurface& surface, const SheetGeometry& g, const LayoutSettings& s)
{
    const int lineWidthPx = std::max(1, g.dpiX / 100);
    for (int cell = 1; cell <= s.cols * s.rows; ++cell)
        surface.frameRect(g.Rect(QRect(CellOriginPx(g, s, cell), QSize(g.cellWidthPx, g.cellHeightPx))), lineWidthPx);
}
