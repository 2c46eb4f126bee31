// Every pass's barcode is read back from a picture of its sheet as composed:
// one that is covered, cut or off the page stops the run and names the pass.
#include "barcode/code128_image.h"
#include "support/fixed_heading_style.h"
#include "draw/draw_pass.h"
#include "output/run_page_layout.h"
#include "passes/valid_on_stamp.h"
#include "run/print_run.h"
#include "support/pdf_barcodes.h"
#include "support/tools.h"
#include "support/twelve_pass_run.h"
#include "verify/barcode_on_raster.h"
#include "verify/partly_read_passes.h"
#include "verify/run_barcode_check.h"
#include "support/planned_run.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Passes of lane 04 on a 2 x 5 sheet at 0.25 and 0.5 inches margin.
PassListRow LaneRow(int quantity)
{
    PassListRow row;
    row.lane = QStringLiteral("04");
    row.validOnStamp = EncodeValidOnStamp(QDate(2026, 8, 14), QTime(9, 30));
    row.quantityText = QString::number(quantity);
    return row;
}

PrintRunRequest TwoByFiveRequest(const HeadingStyleSource& style, const PassListRow& row, const QString& bitmapPath)
{
    PrintRunRequest request = TwelvePassesOnTwoByTwo(style, bitmapPath);
    request.settings.rows = 5;
    request.settings.headingLines = {"ONE", "TWO", "THREE", "Heading line four", "Heading line five"};
    request.rows = {row};
    return request;
}

QString UnreadableText(const PassListRow& row, int passIndex)
{
    return QStringLiteral("The barcode of pass %1 cannot be read on the sheet (covered, cut or off the page). Fix the "
                          "layout and retry.")
        .arg(RowPassBarcode(row, passIndex).left(8));
}

// At 300 pixels per inch a 2 x 5 sheet has cells 1200 wide with the barcode
// from 270 to 550 across its cell; heading lines 5 and 4 of a cell fill bands
// 5 to 90 and 95 to 180 from its left edge.
enum class Verdict { Prints, PartlyRead, Refused };

struct CheckCase {
    const char* name;
    int colAdjustPx;
    int rowAdjustPx;
    int startCell;
    Verdict verdict;
    int namedPass;  // index of the first pass the message names
};

const CheckCase kCases[] = {
    {"clear layout", 0, 0, 1, Verdict::Prints, -1},
    // Pass 1 starts the second row of cells: the heading bands of pass 2, to its
    // right, cover the right half of its bars. Pass 0, alone in its row, reads.
    {"bars half covered by the next cell", -795, 0, 2, Verdict::PartlyRead, 1},
    // Only a strip a scanner could never be aimed at is left of its bars.
    {"bars covered but for their last pixels", -1000, 0, 2, Verdict::Refused, 1},
    // The second row of cells lies 3000 pixels further down: its barcodes cross
    // the page's bottom edge.
    {"cut at the bottom of the page", 0, 2400, 1, Verdict::Refused, 2},
};

TEST(SheetBarcodeCheck, AnUnreadableBarcodeStopsTheRunAndNamesItsPass)
{
    FixedHeadingStyle style;
    const PassListRow row = LaneRow(3);
    for (const CheckCase& c : kCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        PrintRunRequest request = TwoByFiveRequest(style, row, dir.filePath("code128.bmp"));
        request.settings.colAdjustPx = c.colAdjustPx;
        request.settings.rowAdjustPx = c.rowAdjustPx;
        request.startCell = c.startCell;
        QString error;
        QStringList asked;
        try {
            EXPECT_EQ(PrintToPdfFile(request, dir.filePath("run.pdf")).passesDrawn, 3);
        } catch (const UnreadableBarcodeError& e) {
            error = e.text();
        } catch (const PartlyReadBarcodesError& e) {
            asked = e.passNumbers();
        }
        if (c.verdict == Verdict::Prints) {
            EXPECT_EQ(error, QString());
            EXPECT_EQ(asked, QStringList());
            EXPECT_TRUE(QFile::exists(dir.filePath("run.pdf")));
            continue;
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"code128.bmp"});
        if (c.verdict == Verdict::Refused) {
            EXPECT_EQ(error, UnreadableText(row, c.namedPass));
            continue;
        }
        EXPECT_EQ(asked, QStringList{RowPassBarcode(row, c.namedPass).left(8)});
        // Told to print them anyway, the run prints, and a reader finds every pass.
        request.partlyReadAccepted = [](const QStringList&) { return true; };
        PrintToPdfFile(request, dir.filePath("run.pdf"));
        QStringList found = ZbarPdfBarcodes(dir.filePath("run.pdf"), dir.path());
        found.sort();
        EXPECT_EQ(found, (QStringList{RowPassBarcode(row, 0), RowPassBarcode(row, 1), RowPassBarcode(row, 2)}));
    }
}

// Heading lines whose ink reaches far beyond their advance: stacked combining
// marks (drawn from a fallback font, without an advance of their own) and
// oversized accented capitals. A run either prints every barcode readable or
// is refused; it never prints a covered barcode as a success.
struct InkCase {
    const char* name;
    QString line;      // on every heading line listed in lines
    std::vector<int> lines;
    bool bold;
    double fontSize;
    bool refused;      // the first pass is named; otherwise all ten scan in the PDF
};

TEST(SheetBarcodeCheck, HeadingInkBeyondItsAdvanceNeverCoversABarcodeUnseen)
{
    const QString stackedBelow = QStringLiteral("A") + QString(40, QChar(0x033B));
    const QString stackedAbove = QStringLiteral("E") + QString(40, QChar(0x0301));
    const InkCase cases[] = {
        {"plain headings", QStringLiteral("BOWLING LANES"), {1, 4}, true, 1.0, false},
        // Cut at the edge of their bands, the marks stay off the bars.
        {"40 marks below on lines 1-3, bold", stackedBelow, {1, 2, 3}, true, 1.0, false},
        {"40 accents above on lines 4 and 5", stackedAbove, {4, 5}, false, 1.0, false},
        // Their ink reaches the bars: what is left of them still reads as a strip.
        {"accented capitals at 3.5 times the size", QStringLiteral("ÉÂÜ"), {3}, true, 3.5, false},
        {"accented capitals at 6 times the size", QStringLiteral("ÉÂÜ"), {3}, true, 6.0, true},
    };
    FixedHeadingStyle style{true};
    const PassListRow row = LaneRow(10);
    for (const InkCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        PrintRunRequest request = TwoByFiveRequest(style, row, dir.filePath("code128.bmp"));
        request.settings.fontSizeFactor = c.fontSize;
        for (const int n : c.lines) {
            request.settings.headingLines[n - 1] = c.line;
            request.settings.headingBold[n - 1] = c.bold;
        }
        // Passes that read only in part are printed: the reader below has the last word.
        request.partlyReadAccepted = [](const QStringList&) { return true; };
        QString error;
        try {
            PrintToPdfFile(request, dir.filePath("run.pdf"));
        } catch (const UnreadableBarcodeError& e) {
            error = e.text();
        }
        if (c.refused) {
            EXPECT_EQ(error, UnreadableText(row, 0));
            continue;
        }
        ASSERT_EQ(error, QString());
        QStringList expected;
        for (int i = 0; i < 10; ++i)
            expected << RowPassBarcode(row, i);
        QStringList found = ZbarPdfBarcodes(dir.filePath("run.pdf"), dir.path());
        found.sort();
        EXPECT_EQ(found, expected);
    }
}

// One barcode on a picture at the check's 150 pixels per inch, parts of its
// bars' length covered in white or by another pass's barcode: the rule for
// reading, reading in part and not reading, line by line.
struct CoverCase {
    const char* name;
    std::vector<std::pair<double, double>> covered;  // fractions of the bars' length, from..to, whited out
    double otherFrom;                                // another barcode over its bars from here on; 1: none
    BarcodeLegibility legibility;
};

TEST(SheetBarcodeCheck, ABarcodeReadsAsAScannerLaidAlongItsBarsWould)
{
    const CoverCase cases[] = {
        {"nothing covered", {}, 1.0, BarcodeLegibility::Reads},
        {"a quarter covered", {{0.75, 1.0}}, 1.0, BarcodeLegibility::Reads},
        {"all but a strip", {{0.0, 0.45}, {0.55, 1.0}}, 1.0, BarcodeLegibility::ReadsInPart},
        // A line at either end, one picture pixel each of the bars' 100 (the bars are 200 device pixels long).
        {"all but two lines far apart", {{0.01, 0.99}}, 1.0, BarcodeLegibility::DoesNotRead},
        {"all of it", {{0.0, 1.0}}, 1.0, BarcodeLegibility::DoesNotRead},
        {"another pass across a third", {}, 0.66, BarcodeLegibility::DoesNotRead},
    };
    constexpr int kDpi = 300;  // the bitmap's own: one image pixel a device pixel
    const Code128Image own = MakeCode128Image(QStringLiteral("2518400003"), true, 200, 2);
    const Code128Image other = MakeCode128Image(QStringLiteral("2518400103"), true, 200, 2);
    for (const CoverCase& c : cases) {
        SCOPED_TRACE(c.name);
        PlacedBarcode placed;
        placed.text = QStringLiteral("2518400003");
        placed.image = own.image;
        placed.targetPx = QRect(QPoint(100, 100), own.image.size());
        placed.cellPx = placed.targetPx.adjusted(-50, -50, 50, 50);
        const QSize pagePx(own.image.width() + 200, own.image.height() + 200);
        const double scale = 150.0 / kDpi;
        QImage picture(QSize(pagePx.width() / 2, pagePx.height() / 2), QImage::Format_Grayscale8);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            painter.scale(scale, scale);
            painter.drawImage(placed.targetPx, own.image);
            const QRect bars = placed.targetPx;
            for (const auto& [from, to] : c.covered)
                painter.fillRect(QRectF(bars.left() + from * bars.width(), bars.top(), (to - from) * bars.width(),
                                        bars.height()),
                                 Qt::white);
            if (c.otherFrom < 1.0) {
                const int x = bars.left() + int(c.otherFrom * bars.width());
                painter.drawImage(QRect(x, bars.top(), bars.right() + 1 - x, bars.height()), other.image,
                                  QRect(0, 0, bars.right() + 1 - x, other.image.height()));
            }
        }
        ASSERT_EQ(placed.targetPx.width(), 200);
        const std::optional<BarcodeScan> scan = PlanBarcodeScan(placed, pagePx, scale, scale);
        ASSERT_TRUE(scan.has_value());
        EXPECT_EQ(ReadBarcodeOnPicture(picture, scale, scale, *scan), c.legibility);
    }
}

}  // namespace
