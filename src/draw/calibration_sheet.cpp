#include "draw/calibration_sheet.h"

#include "draw/draw_pass.h"
#include "draw/rotated_text.h"

#include <QImage>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QString kRulerFace = QStringLiteral("Liberation Sans");

// Ticks are counted in hundredths of an inch, so that a tick's kind does not
// hang on how a binary fraction rounds.
double TickLengthInches(int hundredths)
{
    if (hundredths % 10 == 0)
        return kTenthTickInches;
    return hundredths % 5 == 0 ? kHalfTickInches : kFineTickInches;
}

QString TickNumber(int hundredths) { return QString::number(hundredths / 100.0, 'f', 2); }

// The surface draws whole pixels; the page is laid out in inches.
class InchPage {
public:
    InchPage(DrawingSurface& surface, const SheetGeometry& g) : surface_(surface), g_(g) {}

    int X(double inches) const { return g_.X(inches * g_.dpiX); }
    int Y(double inches) const { return g_.Y(inches * g_.dpiY); }
    int LineX() const { return std::max(1, g_.dpiX / 300); }
    int LineY() const { return std::max(1, g_.dpiY / 300); }

    // A tick across the X ruler at x, from y toward y + length (length may be negative).
    void XTick(double x, double y, double length)
    {
        const int top = Y(std::min(y, y + length));
        const int bottom = Y(std::max(y, y + length));
        surface_.frameRect(QRect(X(x) - LineX() / 2, top, LineX(), std::max(1, bottom - top)), LineX());
    }
    void YTick(double y, double x, double length)
    {
        const int left = X(std::min(x, x + length));
        const int right = X(std::max(x, x + length));
        surface_.frameRect(QRect(left, Y(y) - LineY() / 2, std::max(1, right - left), LineY()), LineY());
    }
    // Clears the band a ruler's ticks take, so that a cell outline does not run into them.
    void Clear(double left, double top, double right, double bottom)
    {
        QImage white(1, 1, QImage::Format_Mono);
        white.setColor(0, qRgb(255, 255, 255));
        white.setColor(1, qRgb(0, 0, 0));
        white.fill(0);
        surface_.stretchImage(QRect(QPoint(X(left), Y(top)), QPoint(X(right), Y(bottom))), white);
    }
    void Text(double x, double y, const QString& text, double heightInches, int angle = 0)
    {
        DrawRotatedText(surface_, text, X(x), Y(y), angle, int(heightInches * g_.dpiY), false, false, 0, kRulerFace);
    }

private:
    DrawingSurface& surface_;
    const SheetGeometry& g_;
};

// The hundredths of an inch a ruler has a tick at: every one within reach of
// the cut line, every tenth from `from` to `to`.
std::vector<int> RulerTicks(double cut, double from, double to)
{
    std::vector<int> ticks;
    const int first = int(std::ceil(std::min(from, cut - kFineRulerReachInches) * 100 - 1e-6));
    const int last = int(std::floor(std::max(to, cut + kFineRulerReachInches) * 100 + 1e-6));
    for (int h = first; h <= last; ++h) {
        if (h % 10 == 0 || std::abs(h / 100.0 - cut) <= kFineRulerReachInches + 1e-6)
            ticks.push_back(h);
    }
    return ticks;
}

// Numbered: the tenths near the cut line, and whole inches elsewhere.
bool Numbered(int hundredths, double cut)
{
    return hundredths % 100 == 0
           || (hundredths % 10 == 0 && std::abs(hundredths / 100.0 - cut) <= kFineRulerReachInches + 1e-6);
}

constexpr double kNumberInches = 0.07;
constexpr double kNumberGapInches = 0.02;
constexpr double kNumberLengthInches = 0.22;  // "10.00" at kNumberInches, about

// An X ruler at y whose ticks run toward the cut line's corner (direction -1
// up, +1 down); numbers run down the page beyond the baseline, one line high
// across, so that tenths stay apart.
void XRuler(InchPage& page, double cutX, double y, int direction, double from, double to)
{
    const std::vector<int> ticks = RulerTicks(cutX, from, to);
    // Ticks on one side of the baseline, numbers on the other.
    const double numbers = kNumberGapInches + kNumberLengthInches;
    page.Clear(ticks.front() / 100.0 - 0.05, y - (direction < 0 ? kTenthTickInches : numbers),
               ticks.back() / 100.0 + 0.05, y + (direction < 0 ? numbers : kTenthTickInches));
    for (const int h : ticks) {
        page.XTick(h / 100.0, y, direction * TickLengthInches(h));
        if (!Numbered(h, cutX))
            continue;
        const double start = direction < 0 ? y + kNumberGapInches : y - kNumberGapInches - kNumberLengthInches;
        page.Text(h / 100.0 + kNumberInches / 2, start, TickNumber(h), kNumberInches, 270);
    }
}

void YRuler(InchPage& page, double cutY, double x, int direction, double from, double to)
{
    const std::vector<int> ticks = RulerTicks(cutY, from, to);
    const double numbers = kNumberGapInches + kNumberLengthInches;
    page.Clear(x - (direction < 0 ? kTenthTickInches : numbers), ticks.front() / 100.0 - 0.05,
               x + (direction < 0 ? numbers : kTenthTickInches), ticks.back() / 100.0 + 0.05);
    for (const int h : ticks) {
        page.YTick(h / 100.0, x, direction * TickLengthInches(h));
        if (!Numbered(h, cutY))
            continue;
        const double left = direction < 0 ? x + kNumberGapInches : x - kNumberGapInches - kNumberLengthInches;
        page.Text(left, h / 100.0 - kNumberInches / 2, TickNumber(h), kNumberInches);
    }
}

const QStringList kInstructions = {
    QStringLiteral("Calibration sheet: print it on the stock, as passes are printed."),
    QStringLiteral("At the top-left corner of the first cell, read the top ruler where the cut"),
    QStringLiteral("line crosses it (X) and the left ruler likewise (Y); then read both rulers"),
    QStringLiteral("at the bottom-right corner of the last cell. Read to 0.01 in, or between ticks."),
    QStringLiteral("Enter the four numbers in the Passes tab's Printer correction..., or work out"),
    QStringLiteral("tessary-print --correction from them (see tessary-print(1)). A lined-up output"),
    QStringLiteral("reads the numbers printed beside each corner."),
};

}  // namespace

CalibrationCorners CalibrationCornersOf(const SheetGeometry& g, const LayoutSettings& s)
{
    const double lastX = g.leftPx + double(s.cols - 1) * (g.cellWidthPx + s.colAdjustPx) + g.cellWidthPx;
    const double lastY = g.firstRowYPx + double(s.rows - 1) * (g.cellHeightPx + s.rowAdjustPx) + g.cellHeightPx;
    return CalibrationCorners{QPointF(double(g.leftPx) / g.dpiX, double(g.firstRowYPx) / g.dpiY),
                              QPointF(lastX / g.dpiX, lastY / g.dpiY)};
}

void DrawCalibrationSheet(DrawingSurface& surface, const SheetGeometry& g, const LayoutSettings& s)
{
    const CalibrationCorners c = CalibrationCornersOf(g, s);
    InchPage page(surface, g);
    DrawCellOutlines(surface, g, s);
    // Along the top and left edges of the stock, then at the far corner.
    XRuler(page, c.first.x(), c.first.y() + kRulerInsetInches, -1, c.first.x(), c.last.x());
    YRuler(page, c.first.y(), c.first.x() + kRulerInsetInches, -1, c.first.y(), c.last.y());
    XRuler(page, c.last.x(), c.last.y() - kRulerInsetInches, +1, c.last.x(), c.last.x());
    YRuler(page, c.last.y(), c.last.x() - kRulerInsetInches, +1, c.last.y(), c.last.y());
    page.Text(c.first.x() + 0.6, c.first.y() + 0.6,
              QStringLiteral("X %1  Y %2").arg(c.first.x(), 0, 'f', 2).arg(c.first.y(), 0, 'f', 2), 0.10);
    page.Text(c.last.x() - 2.0, c.last.y() - 0.8,
              QStringLiteral("X %1  Y %2").arg(c.last.x(), 0, 'f', 2).arg(c.last.y(), 0, 'f', 2), 0.10);
    // On white, over any cell outline in their way.
    constexpr double kLineInches = 0.10, kCharInches = 0.055, kTop = 3.0;
    qsizetype longest = 0;
    for (const QString& line : kInstructions)
        longest = std::max(longest, line.size());
    const double left = c.first.x() + 0.6;
    page.Clear(left - 0.05, kTop - 0.05, left + longest * kCharInches + 0.05,
               kTop + kInstructions.size() * kLineInches * 1.6 + 0.05);
    for (int i = 0; i < kInstructions.size(); ++i)
        page.Text(left, kTop + i * kLineInches * 1.6, kInstructions[i], kLineInches);
}
