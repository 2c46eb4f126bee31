// A printer correction moves every pass's ink to where the layout and the
// correction put it, measured on the sheet as pdftoppm renders it at 600 dpi,
// and leaves the barcodes' modules as they were.
#include "common/tessary_error.h"
#include "passes/valid_on_stamp.h"
#include "render/barcode/code128_reader.h"
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
const PrinterCorrection kCorrection{0.060, -0.035, 100.40, 99.70};

class CentredSans : public HeadingStyleSource {
public:
    bool Centred() const override { return true; }
    QString FaceName() const override { return QStringLiteral("Liberation Sans"); }
};

QImage RenderedSheet(const PrintRunRequest& request, const QString& dir, const QString& name)
{
    const QString pdf = dir + '/' + name + ".pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setResolution(kDpi);
    PrepareLetterPrinter(printer);
    PrintRun(printer, request, [] { throw TessaryError("layout unusable"); });
    RunTool("pdftoppm", {"-r", QString::number(kDpi), "-gray", "-f", "1", "-l", "1", "-singlefile", pdf,
                         dir + '/' + name});
    QImageReader::setAllocationLimit(256);  // a letter page at 600 dpi is more than Qt's default
    return QImage(dir + '/' + name + ".pgm").convertToFormat(QImage::Format_Grayscale8);
}

QRect InkBox(const QImage& image, const QRect& window)
{
    QRect box;
    const QRect inside = window & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (line[x] < 128)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

std::vector<bool> DarkColumn(const QImage& image, int x, int top, int bottom)
{
    std::vector<bool> dark;
    for (int y = top; y <= bottom; ++y)
        dark.push_back(image.constScanLine(y)[x] < 128);
    return dark;
}

std::vector<int> RunLengths(const std::vector<bool>& dark)
{
    std::vector<int> runs;
    for (std::size_t i = 0; i < dark.size(); ++i) {
        if (i == 0 || dark[i] != dark[i - 1])
            runs.push_back(0);
        ++runs.back();
    }
    return runs;
}

// A pass's parts as the walk places them in a cell (pass_walk.cpp): where each
// is anchored, and the window of the layout's sheet that holds its ink alone.
struct Part {
    const char* what;
    double anchorX, anchorY;
    QRect window;
};

std::vector<Part> PartsOfCell(const SheetGeometry& g, int x0, int y0)
{
    const double step = g.lineStepPx;
    const double barcodeX = x0 + 4 * step;
    const double line1X = x0 + 10.25 * step + g.sixthXPx;
    const int numberY = y0 + 6 * g.sixthYPx;
    return {
        {"barcode", barcodeX, double(y0 + int(1.75 * g.sixthYPx)),
         QRect(int(barcodeX), y0, int(4 * step), kDpi * 2)},
        {"pass number", barcodeX, double(numberY),
         QRect(int(barcodeX) - g.numberHeightPx - 4, numberY - 4, g.numberHeightPx, kDpi)},
        // Centred in its band, which the correction scales: the middle is its anchor.
        {"heading", line1X, y0 + g.textBandPx / 2.0,
         QRect(int(line1X) - g.headingHeightPx - 4, y0, g.headingHeightPx + 8, g.textBandPx)},
    };
}

struct PlacementCase {
    const char* what;
    int cols, rows;
    int quantity, startCell;  // the cell drawn: the first, or the last
    bool barcodeOnSheet;      // 4 x 20: the last row's barcode runs off the sheet as laid out
};

TEST(CorrectedPlacement, InkMovesWithTheCorrectionAndBarsKeepTheirWidths)
{
    const PlacementCase cases[] = {
        {"2 x 5, first cell", 2, 5, 1, 1, true},
        {"2 x 5, last cell", 2, 5, 1, 10, true},
        {"4 x 20, first cell", 4, 20, 1, 1, true},
        {"4 x 20, last cell", 4, 20, 1, 80, false},
    };
    QTemporaryDir dir;
    const CentredSans style;
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.what);
        PrintRunRequest request;
        request.settings.cols = c.cols;
        request.settings.rows = c.rows;
        request.settings.leftMarginInches = 0.25;
        request.settings.topMarginInches = 0.5;
        request.settings.fontSizeFactor = 0.8;
        request.settings.headingLines = {"LANE PASS", "", "", "", ""};
        PassListRow row;
        row.lane = "07";
        row.validOnStamp = EncodeValidOnStamp(QDate(2026, 12, 8), QTime(9, 30, 14));
        row.quantityText = QString::number(c.quantity);
        request.rows = {row};
        request.style = &style;
        request.bitmapPath = dir.filePath("code128.bmp");
        request.startCell = c.startCell;
        // A barcode longer than its cell runs into the cells below: only the
        // 2 x 5 sheets pass the run's own check, which reads the corrected sheet.
        request.barcodeCheck = c.cols == 2 ? BarcodeCheck::StopRun : BarcodeCheck::Off;
        const QImage laidOut = RenderedSheet(request, dir.path(), "laid-out");
        request.correction = kCorrection;
        const QImage corrected = RenderedSheet(request, dir.path(), "corrected");
        ASSERT_FALSE(laidOut.isNull());
        ASSERT_FALSE(corrected.isNull());

        const SheetGeometry g = ComputeSheetGeometry(request.settings, kDpi, kDpi);
        const int cell = c.startCell - 1;
        const int x0 = g.leftPx + (cell % c.cols) * g.cellWidthPx;
        const int y0 = g.firstRowYPx + (cell / c.cols) * g.cellHeightPx;
        for (const Part& part : PartsOfCell(g, x0, y0)) {
            SCOPED_TRACE(part.what);
            const QRect before = InkBox(laidOut, part.window);
            ASSERT_FALSE(before.isNull());
            // Layout plus correction: the part's anchor moved, its ink with it.
            const double dx = part.anchorX * kCorrection.scaleXPercent / 100 + kCorrection.offsetXInches * kDpi
                              - part.anchorX;
            const double dy = part.anchorY * kCorrection.scaleYPercent / 100 + kCorrection.offsetYInches * kDpi
                              - part.anchorY;
            const QRect after =
                InkBox(corrected, part.window.translated(int(std::lround(dx)), int(std::lround(dy))).adjusted(-2, -2, 2, 2));
            EXPECT_NEAR(after.left(), before.left() + dx, 1.0);
            EXPECT_NEAR(after.top(), before.top() + dy, 1.0);
            if (QLatin1String(part.what) != QLatin1String("barcode") || !c.barcodeOnSheet)
                continue;
            const int middle = before.center().x();
            const std::vector<bool> barsBefore = DarkColumn(laidOut, middle, before.top() - 90, before.bottom() + 90);
            const std::vector<bool> barsAfter = DarkColumn(corrected, middle + int(std::lround(dx)),
                                                           after.top() - 90, after.bottom() + 90);
            EXPECT_EQ(RunLengths(barsAfter), RunLengths(barsBefore));
            EXPECT_EQ(ReadCode128ScaledLine(barsAfter, 8.0).value_or("unread"), PassBarcodeText(row, 0));
        }
    }
}

}  // namespace
