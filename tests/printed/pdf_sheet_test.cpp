#include "draw/painter_surface.h"
#include "support/test_rows.h"
#include "support/fixed_heading_style.h"
#include "fonts/qt_font_from_record.h"
#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"
#include "support/pdf_sheets.h"
#include "support/pdf_barcodes.h"
#include "support/tools.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

LayoutSettings TwoByFive()
{
    LayoutSettings s = SheetLayout(2, 5);
    s.headingLines = {"HEADONE", "", "", "", "FIVEHEAD"};
    return s;
}

std::vector<PassListRow> TenPasses(QStringList& barcodes)
{
    PassListRow row;
    row.lane = "07";
    row.validOnStamp = EncodeValidOnStamp(QDate(2026, 12, 8), QTime(9, 30, 14));
    row.quantityText = "10";
    const CalendarInstant instant = DecodeValidOnStamp(row.validOnStamp);
    for (int i = 0; i < 10; ++i)
        barcodes << BarcodeText(PassNumberText(instant, i), row.lane);
    return {row};
}

class PdfSheet : public ::testing::TestWithParam<int> {};

TEST_P(PdfSheet, EveryBarcodeOfTheSheetScans)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    QStringList expected;
    const auto rows = TenPasses(expected);
    FixedHeadingStyle style;
    EXPECT_EQ(PrintPassesToPdf(pdf, GetParam(), TwoByFive(), rows, style, dir.filePath("code128.bmp")), 10);

    QStringList found = ScanPdfBarcodes(pdf, dir.path());
    found.sort();
    expected.sort();
    EXPECT_EQ(found, expected);

    // Barcodes are stored as lossless 1-bit images, never as JPEG.
    const QString images = RunTool("pdfimages", {"-list", pdf});
    EXPECT_FALSE(images.contains("jpeg")) << images.toStdString();
    EXPECT_GE(images.count(QRegularExpression(" image ")), 10);
}

TEST_P(PdfSheet, HeadingTextStandsWhereTheGeometryPutsIt)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    QStringList unused;
    FixedHeadingStyle style;
    PrintPassesToPdf(pdf, GetParam(), TwoByFive(), TenPasses(unused), style, dir.filePath("code128.bmp"));

    // pdftotext -bbox reports in points (72 per inch) from the page's top-left.
    const QString html = RunTool("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">HEADONE</word>)re");
    auto it = word.globalMatch(html);
    std::vector<QRectF> boxes;
    while (it.hasNext()) {
        const auto m = it.next();
        boxes.emplace_back(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                           QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    ASSERT_EQ(boxes.size(), 10u) << html.left(2000).toStdString();
    // Line 1 of the first cell: character cells reach from x 1047 px (at 300 dpi)
    // toward smaller x by 85 px, and the text runs down from y 120.
    const double pointsPerPx = 72.0 / 300.0;
    std::sort(boxes.begin(), boxes.end(), [](const QRectF& a, const QRectF& b) {
        return a.top() < b.top() || (a.top() == b.top() && a.left() < b.left());
    });
    const QRectF first = boxes.front();
    EXPECT_NEAR(first.right(), 1047 * pointsPerPx, 3.0);
    EXPECT_NEAR(first.left(), (1047 - 85) * pointsPerPx, 3.0);
    EXPECT_NEAR(first.top(), 120 * pointsPerPx, 3.0);
    EXPECT_GT(first.height(), first.width());  // runs down the page
    EXPECT_NEAR(boxes[1].left() - first.left(), 1200 * pointsPerPx, 1.0);  // next cell across
    EXPECT_NEAR(boxes[2].top() - first.top(), 600 * pointsPerPx, 1.0);     // next row of cells
}

INSTANTIATE_TEST_SUITE_P(Resolutions, PdfSheet, ::testing::Values(300, 600));

TEST(PainterSurface, CellHeightMatchesTheRequestOnTheDevice)
{
    for (const int dpi : {96, 300, 600}) {
        QImage page(100, 100, QImage::Format_RGB32);
        page.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
        page.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
        for (const QString face : {"Liberation Sans", "Liberation Serif", "DejaVu Sans Mono"}) {
            for (const int height : {11, 40, 64, 85, 170}) {
                FontRecord record;
                record.heightPx = height;
                record.faceName = face;
                record.pitchAndFamily = 1;
                EXPECT_NEAR(CellHeightPx(QtFontFromRecord(record, &page), &page), height, 1.0)
                    << face.toStdString() << " " << height << "px at " << dpi;
            }
        }
    }
}

TEST(PainterSurface, TextAt270RunsDownWithCellsTowardSmallerX)
{
    QImage page(400, 400, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        PainterSurface surface(painter);
        FontRecord record;
        record.heightPx = 40;
        record.escapementTenths = 2700;
        record.faceName = "Liberation Sans";
        surface.setFont(record);
        surface.setBackgroundMode(BackgroundMode::Transparent);
        surface.textOut(200, 50, "HHHHHH");
    }
    int minX = 400, maxX = -1, minY = 400, maxY = -1;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    ASSERT_GE(maxX, 0) << "nothing drawn";
    EXPECT_LT(maxX, 200);
    EXPECT_GE(minX, 160);
    EXPECT_GE(minY, 50);
    EXPECT_GT(maxY - minY, 3 * (maxX - minX));  // long along y
}

}  // namespace
