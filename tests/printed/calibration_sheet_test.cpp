// The calibration sheet's rulers read back from the page rendered at 600 dpi,
// as an operator reads them at the stock's cut lines, and the correction
// worked out from those readings.
#include "draw/calibration_sheet.h"
#include "support/rendered_sheet.h"

#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Centres of the fine ticks (runs of dark pixels, centred on pixel edges)
// along one line of the page from `from` to `to`.
std::vector<double> TickCentres(const QImage& page, bool across, int at, int from, int to)
{
    std::vector<double> centres;
    int start = -1;
    for (int i = from; i <= to + 1; ++i) {
        const bool dark = i <= to && (across ? page.constScanLine(at)[i] : page.constScanLine(i)[at]) < 128;
        if (dark && start < 0)
            start = i;
        if (!dark && start >= 0)
            centres.push_back((start + i) / 2.0);
        if (!dark)
            start = -1;
    }
    return centres;
}

TEST(CalibrationSheet, RulersReadBackAndTheirReadingsUndoTheOutputsError)
{
    // How the output misplaces its ink, and the correction the sheet went out through.
    const struct { PrinterCorrection output, kept; } cases[] = {
        {{}, {}},
        {{0.060, -0.035, 100.40, 99.70}, {}},
        {{-0.045, 0.030, 99.60, 100.25}, {0.020, 0.010, 100.10, 99.90}},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE((CorrectionText(c.output) + " through " + CorrectionText(c.kept)).toStdString());
        PrintRunRequest request;
        request.settings.cols = 2;
        request.settings.rows = 5;
        request.settings.leftMarginInches = 0.5;
        request.settings.topMarginInches = 0.5;
        request.calibrationSheet = true;
        // The kept correction, then the output's error: one offset and scale.
        const PrinterCorrection& o = c.output;
        const PrinterCorrection drawn{c.kept.offsetXInches * o.scaleXPercent / 100 + o.offsetXInches,
                                      c.kept.offsetYInches * o.scaleYPercent / 100 + o.offsetYInches,
                                      c.kept.scaleXPercent * o.scaleXPercent / 100,
                                      c.kept.scaleYPercent * o.scaleYPercent / 100};
        request.correction = drawn;
        const QImage page = RunRenderedAt600(request, dir.path());
        ASSERT_FALSE(page.isNull());

        const CalibrationCorners corners =
            CalibrationCornersOf(ComputeSheetGeometry(request.settings, 600, 600), request.settings);
        ASSERT_EQ(corners.first, QPointF(0.5, 0.4));
        ASSERT_EQ(corners.last, QPointF(8.0, 10.4));
        const auto onPaperPx = [&drawn](bool across, double inches) {
            return across ? (inches * drawn.scaleXPercent / 100 + drawn.offsetXInches) * 600
                          : (inches * drawn.scaleYPercent / 100 + drawn.offsetYInches) * 600;
        };
        // Each ruler: along x or y, the cut it is read at, the line it runs
        // along (inches as laid out) and the way its ticks point from it.
        const struct { bool across; double cut, at; int direction; } rulers[] = {
            {true, corners.first.x(), corners.first.y() + kRulerInsetInches, -1},
            {false, corners.first.y(), corners.first.x() + kRulerInsetInches, -1},
            {true, corners.last.x(), corners.last.y() - kRulerInsetInches, +1},
            {false, corners.last.y(), corners.last.x() - kRulerInsetInches, +1},
        };
        double readings[4] = {};
        for (int r = 0; r < 4; ++r) {
            SCOPED_TRACE(r);
            const bool across = rulers[r].across;
            const double firstValue = rulers[r].cut - kFineRulerReachInches;
            const int linePx = int(onPaperPx(!across, rulers[r].at + rulers[r].direction * kFineTickInches / 2));
            const std::vector<double> centres =
                TickCentres(page, across, linePx, int(onPaperPx(across, firstValue - 0.005)),
                            int(onPaperPx(across, rulers[r].cut + kFineRulerReachInches + 0.005)));
            ASSERT_EQ(centres.size(), 41u);  // every 0.01 in, 0.20 in either side of the cut
            for (int k = 0; k < 41; ++k)
                EXPECT_NEAR(centres[k], std::round(onPaperPx(across, firstValue + 0.01 * k)), 1.0) << "tick " << k;
            // Read where the cut line crosses the ruler, between the ticks either side.
            const double cutPx = rulers[r].cut * 600;
            const auto next = std::upper_bound(centres.begin(), centres.end(), cutPx);
            ASSERT_TRUE(next != centres.begin() && next != centres.end());
            const double k = double(next - centres.begin() - 1) + (cutPx - next[-1]) / (next[0] - next[-1]);
            readings[r] = firstValue + 0.01 * k;
        }
        const std::optional<PrinterCorrection> found =
            CorrectionFromReadings({readings[0], readings[1], readings[2], readings[3]}, corners.first.x(),
                                   corners.first.y(), corners.last.x(), corners.last.y(), c.kept);
        ASSERT_TRUE(found);
        // The output's error undone, whatever correction the sheet went out through.
        EXPECT_NEAR(found->offsetXInches, -o.offsetXInches * 100 / o.scaleXPercent, 0.002);
        EXPECT_NEAR(found->offsetYInches, -o.offsetYInches * 100 / o.scaleYPercent, 0.002);
        EXPECT_NEAR(found->scaleXPercent, 100 * 100 / o.scaleXPercent, 0.03);
        EXPECT_NEAR(found->scaleYPercent, 100 * 100 / o.scaleYPercent, 0.03);
    }
}

}  // namespace
