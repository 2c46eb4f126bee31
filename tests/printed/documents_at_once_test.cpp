// A run drawn as documents at once and joined must print what the same run
// drawn page by page prints: the same pages in the same order, each with the
// same text and barcodes, and the same account of the passes drawn.
#include "support/fixed_heading_style.h"
#include "support/pdf_barcodes.h"
#include "support/tools.h"
#include "support/twelve_pass_run.h"

#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct DocumentsCase {
    const char* name;
    RunCopies copies;
    SheetRange sheets;
    int startCell;
};

QStringList PageTexts(const QString& pdf)
{
    QStringList pages;
    for (int page = 1; page <= PdfPageCount(pdf); ++page)
        pages << RunTool("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"}).simplified();
    return pages;
}

class DocumentsAtOnce : public ::testing::TestWithParam<DocumentsCase> {};

TEST_P(DocumentsAtOnce, PrintWhatThePageByPageRunPrints)
{
    const DocumentsCase& c = GetParam();
    QTemporaryDir dir;
    const FixedHeadingStyle style;
    PrintRunRequest request = TwelvePassesOnTwoByTwo(style, dir.filePath("code128.bmp"));
    request.rows.front().quantityText = "22";  // six sheets, the last of two passes
    request.sheets = c.sheets;
    request.startCell = c.startCell;
    const PrintRunResult byPage = PrintToPdfFile(request, dir.filePath("by-page.pdf"), c.copies);
    request.drawingJobs = 2;
    request.pagesPerDocument = 2;
    const PrintRunResult atOnce = PrintToPdfFile(request, dir.filePath("at-once.pdf"), c.copies);

    EXPECT_EQ(atOnce.pagesEnded, byPage.pagesEnded);
    EXPECT_EQ(atOnce.passesDrawn, byPage.passesDrawn);
    EXPECT_EQ(atOnce.distinctPassesDrawn, byPage.distinctPassesDrawn);
    const QStringList texts = PageTexts(dir.filePath("by-page.pdf"));
    ASSERT_GT(texts.size(), 2);  // more than one document of two pages
    EXPECT_EQ(PageTexts(dir.filePath("at-once.pdf")), texts);
    EXPECT_EQ(ScanPdfBarcodes(dir.filePath("at-once.pdf"), dir.path()),
              ScanPdfBarcodes(dir.filePath("by-page.pdf"), dir.path()));
}

SheetRange Pieces(std::vector<std::pair<int, int>> pieces)
{
    SheetRange range;
    range.first = pieces.front().first;
    range.last = pieces.back().second;
    range.pieces = std::move(pieces);
    return range;
}

INSTANTIATE_TEST_SUITE_P(Runs, DocumentsAtOnce,
                         ::testing::Values(DocumentsCase{"OneCopy", {}, {}, 1},
                                           DocumentsCase{"TwoCopiesCollated", {2, true}, {}, 1},
                                           DocumentsCase{"TwoCopiesUncollated", {2, false}, {}, 1},
                                           DocumentsCase{"SheetsOneAndThreeToFive", {}, Pieces({{1, 1}, {3, 5}}), 1},
                                           DocumentsCase{"FromCellThree", {}, {}, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

// Stopped once the watch has handed on two documents: what prints is the
// run's first pages, the last as far as it was drawn, and every pass the
// account gives is on them.
TEST(DocumentsAtOnceStopped, PrintTheRunsFirstPagesAndAccountForTheirPasses)
{
    QTemporaryDir dir;
    const FixedHeadingStyle style;
    PrintRunRequest request = TwelvePassesOnTwoByTwo(style, dir.filePath("code128.bmp"));
    request.rows.front().quantityText = "80";  // twenty sheets
    const QStringList full = (PrintToPdfFile(request, dir.filePath("full.pdf")), PageTexts(dir.filePath("full.pdf")));
    request.drawingJobs = 2;
    request.pagesPerDocument = 2;
    int sheetsHeard = 0;
    request.sheetBegun = [&sheetsHeard](int) { ++sheetsHeard; };
    request.stopRequested = [&sheetsHeard] { return sheetsHeard >= 4; };
    const PrintRunResult stopped = PrintToPdfFile(request, dir.filePath("stopped.pdf"));

    const QStringList pages = PageTexts(dir.filePath("stopped.pdf"));
    ASSERT_EQ(pages.size(), stopped.pagesEnded);
    EXPECT_GE(stopped.pagesEnded, 4);
    EXPECT_LT(stopped.pagesEnded, full.size());
    for (int page = 0; page + 1 < pages.size(); ++page)
        EXPECT_EQ(pages[page], full[page]) << "page " << page + 1;
    EXPECT_EQ(stopped.distinctPassesDrawn, stopped.passesDrawn);
    EXPECT_EQ(ScanPdfBarcodes(dir.filePath("stopped.pdf"), dir.path()).size(), stopped.passesDrawn);
}

// A span of two pages of four passes, stopped at its nth question: the span
// must say it was stopped however the stop falls, even where the page begun
// last, left empty, makes up the span's count of pages; the watch keeps no
// document after one that says so.
struct SpanStop {
    const char* name;
    int stopAtQuestion;  // asked after each pass, and before and after each page change
    std::vector<std::pair<int, int>> pages;  // sheet and passes of each page the document holds
    bool stopped;
};

class SpanStopped : public ::testing::TestWithParam<SpanStop> {};

TEST_P(SpanStopped, SaysSoAndHoldsThePagesDrawn)
{
    const SpanStop& c = GetParam();
    QTemporaryDir dir;
    const FixedHeadingStyle style;
    PrintRunRequest request = TwelvePassesOnTwoByTwo(style, dir.filePath("code128.bmp"));
    request.rows.front().quantityText = "8";
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(300);
    PrepareLetterPrinter(printer);
    const RunPlan plan = PlanRun(request, OutputChoiceOf(printer));
    QPdfWriter writer(dir.filePath("span.pdf"));
    writer.setResolution(300);
    writer.setPageLayout(printer.pageLayout());
    int asked = 0;
    PageSpanHooks hooks;
    hooks.stopRequested = [&asked, &c] { return ++asked >= c.stopAtQuestion; };
    const PageSpanResult span = DrawPageSpan(writer, plan, 0, 2, request.bitmapPath, style, hooks);
    std::vector<std::pair<int, int>> pages;
    for (const DrawnPage& page : span.pages)
        pages.emplace_back(page.sheet, page.passes);
    EXPECT_EQ(pages, c.pages);
    EXPECT_EQ(span.result.pagesEnded, int(c.pages.size()));
    EXPECT_EQ(span.stopped, c.stopped);
}

INSTANTIATE_TEST_SUITE_P(Stops, SpanStopped,
                         ::testing::Values(SpanStop{"AfterTheFirstPass", 1, {{1, 1}}, true},
                                           SpanStop{"BeforeThePageChange", 5, {{1, 4}}, true},
                                           SpanStop{"OnThePageBegun", 6, {{1, 4}, {0, 0}}, true},
                                           SpanStop{"AfterTheLastPass", 10, {{1, 4}, {2, 4}}, true},
                                           SpanStop{"Never", 11, {{1, 4}, {2, 4}}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
