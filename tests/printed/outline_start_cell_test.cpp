// Cell outlines and the start cell: where the run frames cells and which cells
// take which passes, on recorded calls and on a rendered PDF.
#include "draw/draw_pass.h"
#include "support/test_rows.h"
#include "support/fixed_heading_style.h"
#include "support/pdf_barcodes.h"
#include "output/run_page_layout.h"
#include "passes/valid_on_stamp.h"
#include "run/print_run.h"
#include "support/recording_surface.h"
#include "support/planned_run.h"
#include "support/printed_ordinals.h"
#include "support/tools.h"

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Pass numbers of this row are 25140800 + the pass's index.
constexpr int kFirstPassNumber = 25140800;

// The worked example's margins (0.25 and 0.5 in) with no heading lines.
LayoutSettings Layout(int cols, int rows, int rowAdjustPx = 0, int colAdjustPx = 0)
{
    LayoutSettings s = SheetLayout(cols, rows);
    s.rowAdjustPx = rowAdjustPx;
    s.colAdjustPx = colAdjustPx;
    return s;
}

struct OutlineCase {
    int dpi;
    int rowAdjustPx, colAdjustPx;
    std::vector<int> xs, ys;
    QSize cell;
    int lineWidthPx;
};

TEST(CellOutlines, FrameEveryCellOfTheTwoByFiveSheetWhereTheWalkPlacesIt)
{
    const OutlineCase cases[] = {
        {300, 0, 0, {75, 1275}, {120, 720, 1320, 1920, 2520}, {1200, 600}, 3},
        {300, -30, 12, {75, 1287}, {120, 690, 1260, 1830, 2400}, {1200, 600}, 3},
        {300, 7, -5, {75, 1270}, {120, 727, 1334, 1941, 2548}, {1200, 600}, 3},
        {600, 0, 0, {150, 2550}, {240, 1440, 2640, 3840, 5040}, {2400, 1200}, 6},
        {150, 0, 0, {37, 637}, {60, 360, 660, 960, 1260}, {600, 300}, 1},
    };
    for (const OutlineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dpi << " dpi, adjustments " << c.rowAdjustPx << ", " << c.colAdjustPx);
        const LayoutSettings s = Layout(2, 5, c.rowAdjustPx, c.colAdjustPx);
        const SheetGeometry g = ComputeSheetGeometry(s, c.dpi, c.dpi);
        QTemporaryDir dir;
        FixedHeadingStyle style;
        const QString bitmap = dir.filePath("code128.bmp");
        RecordingSurface surface(c.dpi, c.dpi);
        DrawCellOutlines(surface, g, s);

        std::vector<QRect> expected;
        for (int y : c.ys) {
            for (int x : c.xs)
                expected.emplace_back(QPoint(x, y), c.cell);
        }
        ASSERT_EQ(surface.frames.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(surface.frames[i].rectPx, expected[i]) << "cell " << i + 1;
            EXPECT_EQ(surface.frames[i].lineWidthPx, c.lineWidthPx) << "cell " << i + 1;
        }
    }
}

// Cell k (from 1) of a sheet and the index of the pass drawn in it.
using Sheet = std::vector<std::pair<int, int>>;

struct StartCellCase {
    const char* what;
    int startCell;
    int quantity;
    int cols, rows;
    SheetRange sheets;
    std::vector<Sheet> expected;
};

// Which cell of which sheet each pass lands in, as the run places them.
std::vector<Sheet> PlacedSheets(const StartCellCase& c)
{
    std::vector<Sheet> sheets;
    int sheet = 0;
    for (const RunPass& pass : PlacePasses({Row("01", c.quantity)}, c.cols, c.rows, c.startCell, c.sheets).passes) {
        if (pass.sheet != sheet)
            sheets.emplace_back();
        sheet = pass.sheet;
        sheets.back().push_back({pass.cell, pass.passNumber.toInt() - kFirstPassNumber});
    }
    return sheets;
}

TEST(StartCell, CellsBeforeItOnTheFirstSheetStayEmpty)
{
    const StartCellCase cases[] = {
        {"cell 4 of 2 x 2, ten passes", 4, 10, 2, 2, {},
         {{{4, 0}}, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}, {{1, 5}, {2, 6}, {3, 7}, {4, 8}}, {{1, 9}}}},
        {"the same run, sheets 3 and 4", 4, 10, 2, 2, {3, 4}, {{{1, 5}, {2, 6}, {3, 7}, {4, 8}}, {{1, 9}}}},
        {"the same run, sheet 1", 4, 10, 2, 2, {1, 1}, {{{4, 0}}}},
        {"the rest of the first sheet holds them all", 3, 2, 2, 2, {}, {{{3, 0}, {4, 1}}}},
        {"cell 1 is a full run", 1, 5, 2, 2, {}, {{{1, 0}, {2, 1}, {3, 2}, {4, 3}}, {{1, 4}}}},
        {"one row of three cells", 2, 3, 3, 1, {}, {{{2, 0}, {3, 1}}, {{1, 2}}}},
        {"cells counted across, then down", 3, 2, 2, 3, {}, {{{3, 0}, {4, 1}}}},
        {"cell 0 counts as 1", 0, 2, 2, 2, {}, {{{1, 0}, {2, 1}}}},
        {"a cell past the last is the last", 9, 2, 2, 2, {}, {{{4, 0}}, {{1, 1}}}},
    };
    for (const StartCellCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PlacedSheets(c), c.expected);
    }
}

TEST(StartCell, SheetCountsAndPassWindowsIncludeTheEmptyCells)
{
    struct Case {
        int startCell, quantity;
        SheetRange sheets;
        int sheetCount;
        std::pair<qint64, qint64> passes;  // first and one past the last in the range
    };
    const Case cases[] = {
        {4, 10, {}, 4, {0, 10}},      {1, 10, {}, 3, {0, 10}},      {4, 10, {1, 1}, 4, {0, 1}},
        {4, 10, {2, 3}, 4, {1, 9}},   {4, 10, {4, 4}, 4, {9, 10}},  {4, 10, {5, 6}, 4, {10, 10}},
        {3, 2, {}, 1, {0, 2}},        {2, 4, {}, 2, {0, 4}},        {2, 0, {}, 0, {0, 0}},
    };
    for (const Case& c : cases) {
        PrintRunRequest request;
        request.settings = Layout(2, 2);
        request.rows = {Row("01", c.quantity)};
        request.startCell = c.startCell;
        request.sheets = c.sheets;
        EXPECT_EQ(SheetsOfFullRun(request), c.sheetCount) << "start " << c.startCell << ", " << c.quantity << " passes";
        const std::pair<qint64, qint64> none(0, 0);
        EXPECT_EQ(PrintedOrdinals(request), c.passes.first == c.passes.second ? none : c.passes)
            << "start " << c.startCell << ", sheets " << c.sheets.first << " to " << c.sheets.last;
    }
}

// Rows (or columns) of a 300-dpi rendering that a set of cell edges should darken.
std::vector<bool> EdgeProfile(int length, const std::vector<int>& starts, int cellPx, int lineWidthPx)
{
    std::vector<bool> dark(length, false);
    for (int start : starts) {
        for (int i = 0; i < lineWidthPx; ++i) {
            dark[start + i] = true;
            dark[start + cellPx - 1 - i] = true;
        }
    }
    return dark;
}

TEST(OutlinedSheet, PrintedLinesLieOnTheCellEdgesAt300Dpi)
{
    const OutlineCase cases[] = {
        {300, 0, 0, {75, 1275}, {120, 720, 1320, 1920, 2520}, {1200, 600}, 3},
        {300, -30, 12, {75, 1287}, {120, 690, 1260, 1830, 2400}, {1200, 600}, 3},
    };
    for (const OutlineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "adjustments " << c.rowAdjustPx << ", " << c.colAdjustPx);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("outlined.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        PrepareLetterPrinter(printer);
        printer.setResolution(300);
        FixedHeadingStyle style;
        PrintRunRequest request;
        request.settings = Layout(2, 5, c.rowAdjustPx, c.colAdjustPx);
        request.rows = {Row("01", 1)};
        request.style = &style;
        request.bitmapPath = dir.filePath("code128.bmp");
        request.outlineCells = true;
        EXPECT_EQ(PrintRequest(printer, request).passesDrawn, 1);

        const QImage page = RenderPdfPage(pdf, 1, 300, dir.path());
        ASSERT_EQ(page.size(), QSize(2550, 3300));
        const auto isDark = [&page](int x, int y) { return qGray(page.pixel(x, y)) < 128; };

        // Down the sheet at x 1250, right of every item of the one pass; across it
        // through the middle of the third row of cells, which holds no pass.
        const std::vector<bool> rows = EdgeProfile(page.height(), c.ys, c.cell.height(), c.lineWidthPx);
        for (int y = 0; y < page.height(); ++y)
            ASSERT_EQ(isDark(1250, y), bool(rows[y])) << "x 1250, y " << y;
        const int acrossY = c.ys[2] + c.cell.height() / 2;
        const std::vector<bool> cols = EdgeProfile(page.width(), c.xs, c.cell.width(), c.lineWidthPx);
        for (int x = 0; x < page.width(); ++x)
            ASSERT_EQ(isDark(x, acrossY), bool(cols[x])) << "x " << x << ", y " << acrossY;
    }
}

}  // namespace
