// The calibration sheet's rulers, read back from the page pdftoppm renders at
// 600 dpi as an operator reads them at the stock's cut lines, and the
// correction worked out from those readings.
#include "common/tessary_error.h"
#include "render/calibration_sheet.h"
#include "render/print_run.h"
#include "render/run_page_layout.h"
#include "support/tools.h"

#include <QImage>
#include <QImageReader>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kDpi = 600;
constexpr int kFineTicks = 41;  // every 0.01 in from 0.20 before the cut line to 0.20 after it

class PlainSans : public HeadingStyleSource {
public:
    bool Centred() const override { return false; }
    QString FaceName() const override { return QStringLiteral("Liberation Sans"); }
};

QImage RenderedSheet(const PrintRunRequest& request, const QString& dir)
{
    const QString pdf = dir + "/calibration.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setResolution(kDpi);
    PrepareLetterPrinter(printer);
    PrintRun(printer, request, [] { throw TessaryError("layout unusable"); });
    RunTool("pdftoppm", {"-r", QString::number(kDpi), "-gray", "-singlefile", pdf, dir + "/calibration"});
    QImageReader::setAllocationLimit(256);
    return QImage(dir + "/calibration.pgm").convertToFormat(QImage::Format_Grayscale8);
}

// An output that misplaces the ink as drawing through `c` would, after the
// run's own correction `kept`: one offset and scale, composed.
PrinterCorrection Composed(const PrinterCorrection& kept, const PrinterCorrection& c)
{
    return {kept.offsetXInches * c.scaleXPercent / 100 + c.offsetXInches,
            kept.offsetYInches * c.scaleYPercent / 100 + c.offsetYInches, kept.scaleXPercent * c.scaleXPercent / 100,
            kept.scaleYPercent * c.scaleYPercent / 100};
}

double OnPaperPx(double inches, double offset, double scalePercent)
{
    return (inches * scalePercent / 100 + offset) * kDpi;
}

// Centres of the runs of dark pixels along a line of the page (pixel edges:
// a tick drawn from x - 1 to x has its centre at x), from `from` to `to`.
std::vector<double> TickCentres(const QImage& page, bool across, int at, int from, int to)
{
    std::vector<double> centres;
    int start = -1;
    for (int i = from; i <= to + 1; ++i) {
        const bool dark = i <= to && (across ? page.constScanLine(at)[i] : page.constScanLine(i)[at]) < 128;
        if (dark && start < 0)
            start = i;
        if (!dark && start >= 0) {
            centres.push_back((start + i) / 2.0);
            start = -1;
        }
    }
    return centres;
}

// What the operator reads where the cut line crosses the ruler: the ticks
// either side of it, in between as far as it lies between them.
double Reading(const std::vector<double>& centres, double firstValue, double cutPx)
{
    for (std::size_t k = 0; k + 1 < centres.size(); ++k) {
        if (centres[k] <= cutPx && cutPx <= centres[k + 1])
            return firstValue + 0.01 * (k + (cutPx - centres[k]) / (centres[k + 1] - centres[k]));
    }
    ADD_FAILURE() << "the cut line at " << cutPx << " px misses the ruler";
    return 0.0;
}

struct CalibrationCase {
    const char* what;
    PrinterCorrection output;  // how the output misplaces its ink
    PrinterCorrection kept;    // the correction the sheet went out through
};

TEST(CalibrationSheet, RulersReadBackAndTheirReadingsUndoTheOutputsError)
{
    const CalibrationCase cases[] = {
        {"lined up", {}, {}},
        {"offset and scale", {0.060, -0.035, 100.40, 99.70}, {}},
        {"through a kept correction", {-0.045, 0.030, 99.60, 100.25}, {0.020, 0.010, 100.10, 99.90}},
    };
    QTemporaryDir dir;
    const PlainSans style;
    for (const CalibrationCase& c : cases) {
        SCOPED_TRACE(c.what);
        PrintRunRequest request;
        request.settings.cols = 2;
        request.settings.rows = 5;
        request.settings.leftMarginInches = 0.5;
        request.settings.topMarginInches = 0.5;
        request.style = &style;
        request.calibrationSheet = true;
        const PrinterCorrection drawn = Composed(c.kept, c.output);
        request.correction = drawn;
        const QImage page = RenderedSheet(request, dir.path());
        ASSERT_FALSE(page.isNull());

        const CalibrationCorners corners = CalibrationCornersOf(ComputeSheetGeometry(request.settings, kDpi, kDpi),
                                                                request.settings);
        ASSERT_DOUBLE_EQ(corners.first.x(), 0.5);
        ASSERT_DOUBLE_EQ(corners.last.y(), 10.4);
        // Each ruler: the cut it is read at, where it runs (inches as laid
        // out) and which way its ticks point from there.
        struct Ruler {
            bool across;
            double cut, at;
            int direction;
        };
        const Ruler rulers[] = {
            {true, corners.first.x(), corners.first.y() + kRulerInsetInches, -1},
            {false, corners.first.y(), corners.first.x() + kRulerInsetInches, -1},
            {true, corners.last.x(), corners.last.y() - kRulerInsetInches, +1},
            {false, corners.last.y(), corners.last.x() - kRulerInsetInches, +1},
        };
        double readings[4] = {};
        for (int r = 0; r < 4; ++r) {
            const Ruler& ruler = rulers[r];
            SCOPED_TRACE(r);
            const auto along = [&](double inches) {
                return ruler.across ? OnPaperPx(inches, drawn.offsetXInches, drawn.scaleXPercent)
                                    : OnPaperPx(inches, drawn.offsetYInches, drawn.scaleYPercent);
            };
            const double line = ruler.at + ruler.direction * kFineTickInches / 2;
            const int linePx = int(ruler.across ? OnPaperPx(line, drawn.offsetYInches, drawn.scaleYPercent)
                                                : OnPaperPx(line, drawn.offsetXInches, drawn.scaleXPercent));
            const double firstValue = ruler.cut - kFineRulerReachInches;
            const std::vector<double> centres =
                TickCentres(page, ruler.across, linePx, int(along(firstValue - 0.005)), int(along(ruler.cut + 0.205)));
            ASSERT_EQ(int(centres.size()), kFineTicks);
            for (int k = 0; k < kFineTicks; ++k)
                EXPECT_NEAR(centres[k], std::round(along(firstValue + 0.01 * k)), 1.0) << "tick " << k;
            readings[r] = Reading(centres, firstValue, ruler.cut * kDpi);
        }
        const std::optional<PrinterCorrection> found =
            CorrectionFromReadings({readings[0], readings[1], readings[2], readings[3]}, corners.first.x(),
                                   corners.first.y(), corners.last.x(), corners.last.y(), c.kept);
        ASSERT_TRUE(found);
        // The output's error undone: its inverse.
        EXPECT_NEAR(found->offsetXInches, -c.output.offsetXInches * 100 / c.output.scaleXPercent, 0.002);
        EXPECT_NEAR(found->offsetYInches, -c.output.offsetYInches * 100 / c.output.scaleYPercent, 0.002);
        EXPECT_NEAR(found->scaleXPercent, 100 * 100 / c.output.scaleXPercent, 0.03);
        EXPECT_NEAR(found->scaleYPercent, 100 * 100 / c.output.scaleYPercent, 0.03);
    }
}

}  // namespace
