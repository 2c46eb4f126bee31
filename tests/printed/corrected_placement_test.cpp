// A printer correction moves each part of a pass to where the layout and the
// correction put it, on the sheet as rendered at 600 dpi, bars unchanged.
#include "barcode/code128_reader.h"
#include "support/fixed_heading_style.h"
#include "support/rendered_sheet.h"
#include "support/twelve_pass_run.h"
#include "support/planned_run.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const PrinterCorrection kCorrection{0.060, -0.035, 100.40, 99.70};

// A part of a pass as pass_walk.cpp places it: its anchor, and a window of
// the sheet as laid out holding its ink alone.
struct Part {
    const char* what;
    double anchorX, anchorY;
    QRect window;
};

std::vector<Part> PartsOfCell(const SheetGeometry& g, int x0, int y0)
{
    const double barcodeX = x0 + 4 * g.lineStepPx, line1X = x0 + 10.25 * g.lineStepPx + g.sixthXPx;
    const int numberY = y0 + 6 * g.sixthYPx;
    return {
        {"barcode", barcodeX, double(y0 + int(1.75 * g.sixthYPx)), QRect(int(barcodeX), y0, int(4 * g.lineStepPx), 1200)},
        {"pass number", barcodeX, double(numberY),
         QRect(int(barcodeX) - g.numberHeightPx - 4, numberY - 4, g.numberHeightPx, 600)},
        // Centred in its band, which the correction scales: the band's middle is its anchor.
        {"heading", line1X, y0 + g.textBandPx / 2.0,
         QRect(int(line1X) - g.headingHeightPx - 4, y0, g.headingHeightPx + 8, g.textBandPx)},
    };
}

TEST(CorrectedPlacement, EachPartMovesWithTheCorrectionAndBarsKeepTheirWidths)
{
    // The cell drawn (the first or the last); 4 x 20 cells are shorter than a
    // barcode, which runs into the cells below and, from the last row, off the sheet.
    const struct { int cols, rows, startCell; bool barcodeReads; } cases[] = {{2, 5, 1, true}, {2, 5, 10, true}, {4, 20, 1, true}, {4, 20, 80, false}};
    QTemporaryDir dir;
    const FixedHeadingStyle style{true};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cols << " x " << c.rows << ", cell " << c.startCell);
        PrintRunRequest request = TwelvePassesOnTwoByTwo(style, dir.filePath("code128.bmp"));
        request.settings.cols = c.cols;
        request.settings.rows = c.rows;
        request.settings.fontSizeFactor = 0.8;
        request.settings.headingLines = {"LANE PASS", "", "", "", ""};
        request.rows.front().quantityText = "1";
        request.startCell = c.startCell;
        // The run's own check reads the corrected sheet where the barcodes fit their cells.
        request.barcodeCheck = c.cols == 2 ? BarcodeCheck::StopRun : BarcodeCheck::Off;
        const QImage laidOut = RunRenderedAt600(request, dir.path());
        request.correction = kCorrection;
        const QImage corrected = RunRenderedAt600(request, dir.path());
        ASSERT_FALSE(laidOut.isNull() || corrected.isNull());

        const SheetGeometry g = ComputeSheetGeometry(request.settings, 600, 600);
        const int x0 = g.leftPx + (c.startCell - 1) % c.cols * g.cellWidthPx;
        const int y0 = g.firstRowYPx + (c.startCell - 1) / c.cols * g.cellHeightPx;
        for (const Part& part : PartsOfCell(g, x0, y0)) {
            SCOPED_TRACE(part.what);
            const QRect before = InkBox(laidOut, part.window);
            ASSERT_FALSE(before.isNull());
            const double dx = part.anchorX * (kCorrection.scaleXPercent / 100 - 1) + kCorrection.offsetXInches * 600;
            const double dy = part.anchorY * (kCorrection.scaleYPercent / 100 - 1) + kCorrection.offsetYInches * 600;
            const QPoint shift(int(std::lround(dx)), int(std::lround(dy)));
            const QRect after = InkBox(corrected, part.window.translated(shift).adjusted(-2, -2, 2, 2));
            EXPECT_NEAR(after.left(), before.left() + dx, 1.0);
            EXPECT_NEAR(after.top(), before.top() + dy, 1.0);
            if (part.what != std::string("barcode") || !c.barcodeReads)
                continue;
            // Down the symbol's middle: the same bars, pixel for pixel, and they read.
            std::vector<bool> barsBefore, barsAfter;
            for (int y = -90; y <= before.height() + 90; ++y) {
                barsBefore.push_back(laidOut.constScanLine(before.top() + y)[before.center().x()] < 128);
                barsAfter.push_back(corrected.constScanLine(after.top() + y)[before.center().x() + shift.x()] < 128);
            }
            EXPECT_EQ(barsAfter, barsBefore);
            EXPECT_EQ(ReadCode128ScaledLine(barsAfter, 8.0).value_or("unread"), RowPassBarcode(request.rows.front(), 0));
        }
    }
}

}  // namespace
