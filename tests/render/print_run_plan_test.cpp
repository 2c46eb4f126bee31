// A run planned: what it refuses, what it asks and in which order, which sheets
// and cells it prints; and the outlines and the PDF it draws.
#include "draw/draw_pass.h"
#include "support/test_rows.h"
#include "support/fixed_heading_style.h"
#include "output/staged_pdf.h"
#include "passes/valid_on_stamp.h"
#include "run/print_run.h"
#include "support/planned_run.h"
#include "support/recording_surface.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <optional>
#include <set>
#include <gtest/gtest.h>

namespace {

// Answers a look-up as a register that holds the passes of one lane would.
class LaneIssuedBefore : public IssuedPassLookup {
public:
    explicit LaneIssuedBefore(QString lane) : lane_(std::move(lane)) {}
    EarlierIssues LookUp(const std::vector<RunPass>& passes) override
    {
        EarlierIssues found;
        for (const RunPass& pass : passes) {
            if (pass.lane == lane_) {
                ++found.passes;
                found.keys.insert(pass.barcode);
            }
        }
        found.firstAt = QDateTime(QDate(2026, 12, 9), QTime(10, 15));
        found.firstOutput = RunOutput{true, QStringLiteral("/tmp/earlier.pdf")};
        return found;
    }

private:
    QString lane_;
};

RunOutputChoice FileAt300(int copies = 1, QPageSize paper = QPageSize(QPageSize::Letter))
{
    RunOutputChoice output;
    output.dpiX = output.dpiY = 300;
    output.paper = paper;
    output.copies = RunCopies{copies, true};
    return output;
}

// Every refusal, then every question, each where it stands in the order: a
// plan with several faults says only the first refusal, and asks nothing.
TEST(PlanRun, RefusesFirstThenAsksInOneOrder)
{
    using R = RunRefusal;
    PassListRow dated1979 = Row("01", 4);
    dated1979.validOnStamp = EncodeValidOnStamp(QDate(1979, 12, 31), QTime(9, 0));
    PassListRow noQuantity = Row("01", 0);
    noQuantity.quantityText.clear();
    struct Case {
        const char* what;
        std::vector<PassListRow> rows;
        int cols, startCell;
        SheetRange sheets;
        RunOutputChoice output;
        const char* issuedLane;  // the register holds this lane's passes
        std::optional<R::Kind> refusal;
        int refusedRow;
        std::vector<QString> asked;  // the boxes, in order
    };
    const QPageSize a4(QPageSize::A4);
    SheetRange oneAndThree(1, 3);
    oneAndThree.pieces = {{1, 1}, {3, 3}};
    const Case cases[] = {
        {"quantity 100 before everything", {Row("01", 4), Row("02", 100)}, 0, 9, {4, 5}, FileAt300(2, a4), "01",
         R::QuantityOverLimit, 2, {}},
        {"a stamp a pass number cannot hold", {Row("01", 4), dated1979}, 0, 1, {}, FileAt300(), nullptr,
         R::StampInvalid, 2, {}},
        {"no cell across", {Row("01", 4)}, 0, 9, {}, FileAt300(), nullptr, R::LayoutUnusable, 0, {}},
        {"an empty pass list", {}, 2, 1, {}, FileAt300(), nullptr, R::LayoutUnusable, 0, {}},
        {"start cell beyond the sheet", {Row("01", 4)}, 2, 5, {}, FileAt300(), nullptr, R::StartCellBeyondSheet, 0, {}},
        {"no row with a quantity", {noQuantity}, 2, 1, {4, 5}, FileAt300(), nullptr, R::NoQuantity, 0, {}},
        {"a range past the last sheet", {Row("01", 10)}, 2, 1, {4, 5}, FileAt300(), nullptr, R::NoSheetInRange, 0, {}},
        {"nothing to ask", {Row("01", 10)}, 2, 1, {}, FileAt300(), nullptr, std::nullopt, 0, {}},
        {"every question, in order", {Row("01", 4), Row("01", 4, QTime(12, 0, 2))}, 2, 1, {}, FileAt300(3, a4), "01",
         std::nullopt, 0, {"paperQuestion", "duplicateQuestion", "copiesQuestion", "reprintQuestion"}},
        // Rows 1 and 2 share barcodes on sheet 2 only, which 1,3 leaves out.
        {"duplicates on a sheet that does not print",
         {Row("03", 10), Row("03", 10, QTime(12, 0, 5)), Row("04", 10, QTime(13, 0))}, 2, 1, oneAndThree,
         FileAt300(), nullptr, std::nullopt, 0, {}},
        {"the same rows, every sheet",
         {Row("03", 10), Row("03", 10, QTime(12, 0, 5)), Row("04", 10, QTime(13, 0))}, 2, 1, {}, FileAt300(), nullptr,
         std::nullopt, 0, {"duplicateQuestion"}},
        {"printed before: only the passes that print are looked up", {Row("01", 4), Row("02", 4, QTime(13, 0))}, 2, 1,
         SheetRange(2, 2), FileAt300(), "01", std::nullopt, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PrintRunRequest request;
        request.settings = SheetLayout(c.cols, 2);
        request.rows = c.rows;
        request.startCell = c.startCell;
        request.sheets = c.sheets;
        std::optional<LaneIssuedBefore> lookup;
        if (c.issuedLane)
            lookup.emplace(c.issuedLane);
        const RunPlan plan = PlanRun(request, c.output, lookup ? &*lookup : nullptr);
        ASSERT_EQ(plan.refusal.has_value(), c.refusal.has_value()) << (plan.refusal ? plan.refusal->text.toStdString() : "");
        if (c.refusal) {
            EXPECT_EQ(plan.refusal->kind, *c.refusal) << plan.refusal->text.toStdString();
            EXPECT_EQ(plan.refusal->row, c.refusedRow);
            EXPECT_TRUE(plan.pages.empty());
        }
        std::vector<QString> asked;
        for (const RunQuestion& question : plan.questions)
            asked.push_back(question.boxName);
        EXPECT_EQ(asked, c.asked);
    }
}

// Sheets that print and the cells their passes take, for a range, a start cell
// and copies: a file holds its copies, a queue is sent one of each sheet.
TEST(PlanRun, RangeStartCellAndCopiesGiveThePagesAndCells)
{
    struct Case {
        const char* what;
        int quantity, startCell;
        SheetRange sheets;
        int copies;
        bool collate, toFile;
        std::vector<int> pages;
        std::pair<int, int> firstPass, lastPass;  // sheet and cell
        int passes, sheetsOfFullRun;
    };
    SheetRange oneAndThree(1, 3);
    oneAndThree.pieces = {{1, 1}, {3, 3}};
    SheetRange even;
    even.set = SheetSet::Even;
    const Case cases[] = {
        {"all of 12", 12, 1, {}, 1, true, true, {1, 2, 3}, {1, 1}, {3, 4}, 12, 3},
        {"from cell 4", 10, 4, {}, 1, true, true, {1, 2, 3, 4}, {1, 4}, {4, 1}, 10, 4},
        {"pieces 1 and 3", 12, 1, oneAndThree, 1, true, true, {1, 3}, {1, 1}, {3, 4}, 8, 3},
        {"even sheets from cell 4", 10, 4, even, 1, true, true, {2, 4}, {2, 1}, {4, 1}, 5, 4},
        {"sheets 2-3, two collated copies", 12, 1, {2, 3}, 2, true, true, {2, 3, 2, 3}, {2, 1}, {3, 4}, 8, 3},
        {"pieces 1 and 3, two uncollated copies", 12, 2, oneAndThree, 2, false, true, {1, 1, 3, 3}, {1, 2}, {3, 4},
         7, 4},
        {"a queue makes its own copies", 12, 1, {}, 3, false, false, {1, 2, 3}, {1, 1}, {3, 4}, 12, 3},
    };
    FixedHeadingStyle style;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PrintRunRequest request;
        request.settings = SheetLayout(2, 2);
        request.rows = {Row("01", c.quantity)};
        request.startCell = c.startCell;
        request.sheets = c.sheets;
        request.style = &style;
        RunOutputChoice output = FileAt300(c.copies);
        output.copies.collate = c.collate;
        output.toFile = c.toFile;
        const RunPlan plan = PlanRun(request, output);
        ASSERT_FALSE(plan.refusal);
        EXPECT_EQ(plan.pages, c.pages);
        ASSERT_EQ(int(plan.placed.passes.size()), c.passes);
        EXPECT_EQ(std::make_pair(plan.placed.passes.front().sheet, plan.placed.passes.front().cell), c.firstPass);
        EXPECT_EQ(std::make_pair(plan.placed.passes.back().sheet, plan.placed.passes.back().cell), c.lastPass);
        EXPECT_EQ(plan.placed.sheetsOfFullRun, c.sheetsOfFullRun);
        // Each pass placed once: the copies are pages, not passes.
        std::set<QString> barcodes;
        for (const RunPass& pass : plan.placed.passes)
            barcodes.insert(pass.barcode);
        EXPECT_EQ(int(barcodes.size()), c.passes);
    }
}

TEST(DrawCellOutlines, FramesEachCellWhereTheWalkPutsIt)
{
    struct Case {
        int rowAdjust, colAdjust;
    };
    for (const Case& c : {Case{0, 0}, Case{-30, 12}}) {
        LayoutSettings s = SheetLayout(2, 5);
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
        LayoutSettings s = SheetLayout(2, 5);
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
    FixedHeadingStyle style;
    request.settings = SheetLayout(2, 2);
    request.rows = {Row("01", 6)};
    request.style = &style;
    request.bitmapPath = dir.filePath("code128.bmp");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("run.pdf"));
    ASSERT_EQ(PrintRequest(printer, request).passesDrawn, 6);
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
    FixedHeadingStyle style;
    request.settings = SheetLayout(1, 1);
    request.rows = {Row("01", 99), Row("02", 99), Row("03", 99), Row("04", 99), Row("05", 99), Row("06", 99),
                    Row("07", 6)};
    request.style = &style;
    request.bitmapPath = dir.filePath("code128.bmp");
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(150);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("many.pdf"));
    ASSERT_EQ(PrintRequest(printer, request).passesDrawn, 600);
    QFile file(dir.filePath("many.pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(CompletePdfPageCount(file), 600);
}

}  // namespace
