#include "sheet/printer_correction.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Whole pixels within 32 bits: a layout too large to fit is refused by the
// sheet's own check, and must not reach lround out of range meanwhile.
int NearestPixel(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double limit = double(std::numeric_limits<int>::max());
    return int(std::lround(std::clamp(value, -limit, limit)));
}

// To a whole number of 1/perUnit: divided last, so that 0.06 comes out as the double nearest 0.06.
double RoundedTo(double value, double perUnit) { return std::round(value * perUnit) / perUnit; }

}  // namespace

bool PrinterCorrection::IsNone() const { return *this == PrinterCorrection{}; }

bool PrinterCorrection::operator==(const PrinterCorrection& other) const
{
    return offsetXInches == other.offsetXInches && offsetYInches == other.offsetYInches
           && scaleXPercent == other.scaleXPercent && scaleYPercent == other.scaleYPercent;
}

int PrinterCorrection::MapXPx(double xPx, int dpiX) const
{
    if (IsNone())
        return int(xPx);
    return NearestPixel(xPx * scaleXPercent / 100.0 + offsetXInches * dpiX);
}

int PrinterCorrection::MapYPx(double yPx, int dpiY) const
{
    if (IsNone())
        return int(yPx);
    return NearestPixel(yPx * scaleYPercent / 100.0 + offsetYInches * dpiY);
}

int PrinterCorrection::ScaleYLengthPx(int lengthPx) const
{
    if (scaleYPercent == 100.0)
        return lengthPx;
    return NearestPixel(lengthPx * scaleYPercent / 100.0);
}

PrinterCorrection RoundedCorrection(const PrinterCorrection& c)
{
    // + 0.0 turns a rounded -0.0 into 0.0, so that a correction of nothing compares as none.
    return PrinterCorrection{RoundedTo(c.offsetXInches, 1000) + 0.0, RoundedTo(c.offsetYInches, 1000) + 0.0,
                             RoundedTo(c.scaleXPercent, 100), RoundedTo(c.scaleYPercent, 100)};
}

bool CorrectionInRange(const PrinterCorrection& c)
{
    const auto offsetOk = [](double v) { return std::isfinite(v) && std::abs(v) <= kMostCorrectionOffsetInches; };
    const auto scaleOk = [](double v) {
        return std::isfinite(v) && v >= kLeastCorrectionScalePercent - 1e-9 && v <= kMostCorrectionScalePercent + 1e-9;
    };
    return offsetOk(c.offsetXInches) && offsetOk(c.offsetYInches) && scaleOk(c.scaleXPercent)
           && scaleOk(c.scaleYPercent);
}

std::optional<PrinterCorrection> ParseCorrection(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2 && parts.size() != 4)
        return std::nullopt;
    double values[4] = {0.0, 0.0, 100.0, 100.0};
    for (int i = 0; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        if (!number.match(part).hasMatch())
            return std::nullopt;
        values[i] = part.toDouble();
    }
    const PrinterCorrection c = RoundedCorrection({values[0], values[1], values[2], values[3]});
    if (!CorrectionInRange(c))
        return std::nullopt;
    return c;
}

QString CorrectionText(const PrinterCorrection& c)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(c.offsetXInches, 0, 'f', 3)
        .arg(c.offsetYInches, 0, 'f', 3)
        .arg(c.scaleXPercent, 0, 'f', 2)
        .arg(c.scaleYPercent, 0, 'f', 2);
}

namespace {

// One axis. The sheet was drawn through `printedScale` and `printedOffset`
// (the correction it went out with); the output then put the ruler's value v
// at v * measuredScale + measuredOffset, and the readings say where the two
// cut lines fell on the rulers. The new correction undoes the output alone.
std::optional<std::pair<double, double>> SolveAxis(double readFirst, double readLast, double cutFirst,
                                                   double cutLast, double printedScale, double printedOffset)
{
    if (std::abs(readLast - readFirst) < 1e-6 || std::abs(cutLast - cutFirst) < 1e-6)
        return std::nullopt;
    const double measuredScale = (cutLast - cutFirst) / (readLast - readFirst);
    const double measuredOffset = cutFirst - readFirst * measuredScale;
    const double outputScale = measuredScale / printedScale;
    const double outputOffset = measuredOffset - printedOffset * outputScale;
    return std::make_pair(1.0 / outputScale, -outputOffset / outputScale);
}

}  // namespace

std::optional<PrinterCorrection> CorrectionFromReadings(const CalibrationReadings& r, double firstXInches,
                                                        double firstYInches, double lastXInches,
                                                        double lastYInches, const PrinterCorrection& printedWith)
{
    const auto x = SolveAxis(r.firstX, r.lastX, firstXInches, lastXInches, printedWith.scaleXPercent / 100.0,
                             printedWith.offsetXInches);
    const auto y = SolveAxis(r.firstY, r.lastY, firstYInches, lastYInches, printedWith.scaleYPercent / 100.0,
                             printedWith.offsetYInches);
    if (!x || !y)
        return std::nullopt;
    const PrinterCorrection c = RoundedCorrection({x->second, y->second, x->first * 100.0, y->first * 100.0});
    if (!CorrectionInRange(c))
        return std::nullopt;
    return c;
}
