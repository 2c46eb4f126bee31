// Which passes land on which sheet when a run prints a range of sheets, starts
// on a later cell, or outlines its cells.
#include "draw/pass_walk.h"
#include "output/staged_pdf.h"
#include "passes/valid_on_stamp.h"
#include "run/print_run.h"
#include "support/printed_ordinals.h"
#include "support/recording_surface.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FixedStyle : public HeadingStyleSource {
public:
    bool Centred() const override { return false; }
    QString FaceName() const override { return QStringLiteral("Liberation Sans"); }
};

PassListRow Row(const QString& lane, int quantity, QTime time = QTime(12, 0))
{
    PassListRow row;
    row.lane = lane;
    row.validOnStamp = EncodeValidOnStamp(QDate(2002, 3, 1), time);
    row.quantityText = QString::number(quantity);
    return row;
}

LayoutSettings Sheet(int cols, int rows)
{
    LayoutSettings s;
    s.cols = cols;
    s.rows = rows;
    s.leftMarginInches = 0.25;
    s.topMarginInches = 0.5;
    return s;
}

// Pass numbers drawn on each sheet, in drawing order; "-" marks a sheet begun.
std::vector<std::vector<QString>> WalkSheets(const std::vector<PassListRow>& rows, const LayoutSettings& s,
                                             SheetRange range, int startCell,
                                             std::vector<RecordingSurface::TextCall>* numbers = nullptr)
{
    QTemporaryDir dir;
    FixedStyle style;
    const QString bitmap = dir.filePath("code128.bmp");
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    std::vector<std::vector<QString>> sheets;
    WalkControl control;
    control.newPage = [] {};
    control.sheets = range;
    control.startCell = startCell;
    control.sheetBegun = [&](int) { sheets.emplace_back(); };
    control.passDrawn = [&](const QString& barcode) { sheets.back().push_back(barcode.left(8)); };
    WalkPasses(surface, {g, s, style, bitmap}, rows, control);
    if (numbers) {
        for (const auto& t : surface.texts) {
            if (t.font.heightPx == g.numberHeightPx)
                numbers->push_back(t);
        }
    }
    return sheets;
}

std::vector<QString> Numbers(int serial, int first, int count)
{
    std::vector<QString> out;
    for (int i = first; i < first + count; ++i)
        out.push_back(QString::number(serial + i));
    return out;
}

constexpr int kNoon = 25140800;  // pass number of pass 0 of a 1 March 2002 noon row

TEST(WalkPasses, APageRangeDrawsExactlyTheSheetsOfAFullRun)
{
    const std::vector<PassListRow> rows = {Row("01", 12)};
    const auto full = WalkSheets(rows, Sheet(2, 2), {}, 1);
    ASSERT_EQ(full.size(), 3u);
    struct Case {
        int first, last;
        std::vector<int> sheets;  // 1-based sheets of the full run expected
    };
    const Case cases[] = {{2, 2, {2}}, {1, 2, {1, 2}}, {3, 3, {3}}, {2, 9, {2, 3}}, {4, 5, {}}};
    for (const Case& c : cases) {
        const auto got = WalkSheets(rows, Sheet(2, 2), {c.first, c.last}, 1);
        std::vector<std::vector<QString>> expected;
        for (int sheet : c.sheets)
            expected.push_back(full[sheet - 1]);
        EXPECT_EQ(got, expected) << c.first << "-" << c.last;
    }
}

TEST(WalkPasses, StartingOnALaterCellLeavesTheCellsBeforeItEmpty)
{
    // 10 passes on 2 x 2 from cell 4: 1 + 4 + 4 + 1.
    std::vector<RecordingSurface::TextCall> numbers;
    const auto sheets = WalkSheets({Row("01", 10)}, Sheet(2, 2), {}, 4, &numbers);
    const std::vector<std::vector<QString>> expected = {
        Numbers(kNoon, 0, 1), Numbers(kNoon, 1, 4), Numbers(kNoon, 5, 4), Numbers(kNoon, 9, 1)};
    EXPECT_EQ(sheets, expected);
    ASSERT_FALSE(numbers.empty());
    // Pass 0 in the bottom-right cell: one cell across, one cell down from the first.
    EXPECT_EQ(numbers[0].xPx, 435 + 1200);
    EXPECT_EQ(numbers[0].yPx, 420 + 1500);
    EXPECT_EQ(numbers[1].xPx, 435);
    EXPECT_EQ(numbers[1].yPx, 420);
}

TEST(RunPlan, SheetCountAndPassWindowFollowRangeAndStartCell)
{
    struct Case {
        int quantity, cols, rows, startCell, first, last;
        int sheets, inRange;
        qint64 windowFirst, windowEnd;
    };
    const int kAll = std::numeric_limits<int>::max();
    const Case cases[] = {
        {10, 2, 2, 1, 1, kAll, 3, 3, 0, 10},
        {10, 2, 2, 4, 1, kAll, 4, 4, 0, 10},
        {10, 2, 2, 4, 2, 3, 4, 2, 1, 9},
        {12, 2, 2, 1, 2, 2, 3, 1, 4, 8},
        {12, 2, 2, 1, 4, 6, 3, 0, 12, 12},
        {8, 2, 2, 9, 1, kAll, 3, 3, 0, 8},  // a start cell past the sheet is its last cell
        {8, 0, 2, 1, 1, kAll, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        PrintRunRequest request;
        request.settings = Sheet(c.cols, c.rows);
        request.rows = {Row("01", c.quantity)};
        request.startCell = c.startCell;
        request.sheets = {c.first, c.last};
        const std::string what = std::to_string(c.quantity) + " from cell " + std::to_string(c.startCell) +
                                 ", sheets " + std::to_string(c.first) + "-" + std::to_string(c.last);
        EXPECT_EQ(RunSheetCount(request), c.sheets) << what;
        EXPECT_EQ(SheetsInRange(request), c.inRange) << what;
        // Every pass between the first and the last prints: no sheet is left out of a plain range.
        const std::pair<qint64, qint64> none(0, 0);
        EXPECT_EQ(PrintedOrdinals(request), c.windowFirst == c.windowEnd ? none : std::make_pair(c.windowFirst, c.windowEnd))
            << what;
    }
}

TEST(DrawCellOutlines, FramesEachCellWhereTheWalkPutsIt)
{
    struct Case {
        int rowAdjust, colAdjust;
    };
    for (const Case& c : {Case{0, 0}, Case{-30, 12}}) {
        LayoutSettings s = Sheet(2, 5);
        s.rowAdjustPx = c.rowAdjust;
        s.colAdjustPx = c.colAdjust;
        const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
        RecordingSurface surface;
        DrawCellOutlines(surface, g, s);
        ASSERT_EQ(surface.frames.size(), 10u);
        for (int r = 0; r < 5; ++r) {
            for (int col = 0; col < 2; ++col) {
                const auto& frame = surface.frames[std::size_t(r * 2 + col)];
                EXPECT_EQ(frame.rectPx, QRect(75 + col * (1200 + c.colAdjust), 120 + r * (600 + c.rowAdjust), 1200, 600))
                    << "row " << r << " col " << col << " adjust " << c.rowAdjust;
                EXPECT_EQ(frame.lineWidthPx, 3);
            }
        }
    }
}

TEST(SheetGeometry, NumbersBeyondThirtyTwoBitPixelsMakeTheLayoutUnusable)
{
    struct Case {
        double left, top, sizeFactor;
        bool usable;
    };
    const Case cases[] = {
        {0.25, 0.5, 1.0, true},    {1e10, 0.5, 1.0, false}, {0.25, -1e10, 1.0, false},
        {0.25, 0.5, 1e10, false},  {-1e7, 0.5, 1.0, false}, {2e6, 0.5, 1.0, false},
    };
    for (const Case& c : cases) {
        LayoutSettings s = Sheet(2, 5);
        s.leftMarginInches = c.left;
        s.topMarginInches = c.top;
        s.fontSizeFactor = c.sizeFactor;
        EXPECT_EQ(LayoutUsable(1, s, ComputeSheetGeometry(s, 300, 300)), c.usable)
            << c.left << " " << c.top << " " << c.sizeFactor;
    }
}

TEST(CompletePdfPageCount, OnlyAFileThatEndsWithItsTrailerCounts)
{
    QTemporaryDir dir;
    PrintRunRequest request;
    FixedStyle style;
    request.settings = Sheet(2, 2);
    request.rows = {Row("01", 6)};
    request.style = &style;
    request.bitmapPath = dir.filePath("code128.bmp");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("run.pdf"));
    ASSERT_EQ(PrintRun(printer, request, {}).passesDrawn, 6);
    QFile file(dir.filePath("run.pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_EQ(CompletePdfPageCount(pdf), 2);
    for (const int cut : {4096, int(pdf.size()) / 2, int(pdf.size()) - 10})
        EXPECT_EQ(CompletePdfPageCount(pdf.left(cut)), -1) << "cut at " << cut;
    EXPECT_EQ(CompletePdfPageCount(QByteArray()), -1);
}

TEST(CompletePdfPageCount, ARunOfManySheetsIsWholeToo)
{
    // The page tree lists every sheet: at 600 it no longer fits a few kilobytes.
    QTemporaryDir dir;
    PrintRunRequest request;
    FixedStyle style;
    request.settings = Sheet(1, 1);
    request.rows = {Row("01", 99), Row("02", 99), Row("03", 99), Row("04", 99), Row("05", 99), Row("06", 99),
                    Row("07", 6)};
    request.style = &style;
    request.bitmapPath = dir.filePath("code128.bmp");
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(150);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("many.pdf"));
    ASSERT_EQ(PrintRun(printer, request, {}).passesDrawn, 600);
    QFile file(dir.filePath("many.pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(CompletePdfPageCount(file), 600);
}

}  // namespace
