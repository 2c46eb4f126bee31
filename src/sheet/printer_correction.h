#pragma once

#include <QString>
#include <optional>

// How far one output puts its ink from where the run means it: an offset in
// inches (positive right and down) and a scale in percent, both about the
// sheet's corner. The run draws every position through it, so that on this
// output the ink lands where the layout says. The default draws the sheet as
// laid out, byte for byte.
struct PrinterCorrection {
    double offsetXInches = 0.0;
    double offsetYInches = 0.0;
    double scaleXPercent = 100.0;
    double scaleYPercent = 100.0;

    bool IsNone() const;
    bool operator==(const PrinterCorrection& other) const;
    bool operator!=(const PrinterCorrection& other) const { return !(*this == other); }

    // A position in device pixels from the sheet's corner, as the layout has
    // it, moved to where this output must be sent to put it there. Whole
    // pixels: toward zero without a correction (as a run always drew), to the
    // nearest with one.
    int MapXPx(double xPx, int dpiX) const;
    int MapYPx(double yPx, int dpiY) const;
    // A length along the sheet, scaled (a text band, a cell's side).
    int ScaleYLengthPx(int lengthPx) const;
};

constexpr double kLeastCorrectionScalePercent = 99.0;
constexpr double kMostCorrectionScalePercent = 101.0;
constexpr double kMostCorrectionOffsetInches = 1.0;

// Offsets to 0.001 in and scales to 0.01 %, as the correction is kept.
PrinterCorrection RoundedCorrection(const PrinterCorrection& correction);

// Whether every value lies in its range: offsets within 1 inch either way,
// scales from 99 to 101 percent.
bool CorrectionInRange(const PrinterCorrection& correction);

// "DX,DY" or "DX,DY,SX,SY": inches and percent, a point for the decimals;
// nothing for another form or a value out of range.
std::optional<PrinterCorrection> ParseCorrection(const QString& text);

// "0.060,-0.035,100.40,99.70": the form ParseCorrection reads and the register keeps.
QString CorrectionText(const PrinterCorrection& correction);

// The readings of a calibration sheet (CalibrationSheet): where the stock's
// cut lines fall on its rulers, in inches, at the first cell's top-left corner
// and at the last cell's bottom-right corner.
struct CalibrationReadings {
    double firstX = 0.0, firstY = 0.0;
    double lastX = 0.0, lastY = 0.0;
};

// The correction that puts this output's ink on the cut lines, which lie
// where the layout puts the two corners (inches from the sheet's corner),
// from the readings of a sheet that went out through printedWith. Nothing
// when the readings cannot come from such a sheet: the corners coincide, or
// the correction falls out of range.
std::optional<PrinterCorrection> CorrectionFromReadings(const CalibrationReadings& readings, double firstXInches,
                                                        double firstYInches, double lastXInches,
                                                        double lastYInches, const PrinterCorrection& printedWith);
