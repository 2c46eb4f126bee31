// The preview window of a run: which sheets it holds and says it shows, paging,
// zoom, and the page it draws on.
#include "passes/valid_on_stamp.h"
#include "support/fixed_heading_style.h"
#include "preview/preview_printer.h"
#include "preview/run_preview.h"
#include "support/sheet_pieces.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QPageLayout>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Ten passes on 2 x 2 sheets from cell 4: four sheets.
PrintRunRequest StartCellFourRun(const HeadingStyleSource& style, const QString& bitmap, SheetRange sheets)
{
    PassListRow row;
    row.lane = "02";
    row.validOnStamp = EncodeValidOnStamp(QDate(2026, 3, 1), QTime(12, 0));
    row.quantityText = "10";
    PrintRunRequest request;
    request.settings.cols = 2;
    request.settings.rows = 2;
    request.settings.leftMarginInches = 0.25;
    request.settings.topMarginInches = 0.5;
    request.rows = {row};
    request.style = &style;
    request.bitmapPath = bitmap;
    request.startCell = 4;
    request.sheets = sheets;
    return request;
}

struct Shown {
    QPrinter chosen{QPrinter::HighResolution};
    std::unique_ptr<QPrinter> page;
    std::unique_ptr<RunPreview> preview;
    QTemporaryDir dir;
    FixedHeadingStyle style;

    explicit Shown(SheetRange sheets)
    {
        chosen.setOutputFormat(QPrinter::PdfFormat);
        page = PreviewPrinterFor(chosen);
        preview = std::make_unique<RunPreview>(
            *page, PlanRun(StartCellFourRun(style, dir.filePath("code128.bmp"), sheets), OutputChoiceOf(*page)));
        preview->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(preview.get()));
    }
    ~Shown()
    {
        preview.reset();
        QApplication::processEvents();
    }
    void Click(const char* name) { QTest::mouseClick(preview->findChild<QPushButton*>(name), Qt::LeftButton); }
    bool Enabled(const char* name) { return preview->findChild<QPushButton*>(name)->isEnabled(); }
};

struct RangeCase {
    SheetRange sheets;
    int pages;
    QStringList positions;  // the text under the pages, first page first, as Next is clicked
};

TEST(RunPreview, HoldsTheSheetsOfTheRangeAndSaysWhichIsInView)
{
    const RangeCase cases[] = {
        {{}, 4, {"Sheet 1 of 4", "Sheet 2 of 4", "Sheet 3 of 4", "Sheet 4 of 4"}},
        {{2, 3}, 2,
         {"Sheet 2 of 4 (page 1 of 2 in the chosen range)", "Sheet 3 of 4 (page 2 of 2 in the chosen range)"}},
        {{4, 9}, 1, {"Sheet 4 of 4 (page 1 of 1 in the chosen range)"}},
        {{5, 9}, 0, {"No sheet of the chosen range holds a pass: this run prints nothing."}},
        // A list of pieces: the second page is sheet 3, not the range's second sheet.
        {Pieces({{1, 1}, {3, 3}}), 2,
         {"Sheet 1 of 4 (page 1 of 2 in the chosen range)", "Sheet 3 of 4 (page 2 of 2 in the chosen range)"}},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "sheets " << c.sheets.first << " to " << c.sheets.last);
        Shown shown(c.sheets);
        EXPECT_EQ(shown.preview->view().pageCount(), c.pages);
        for (int i = 0; i < c.positions.size(); ++i) {
            EXPECT_EQ(shown.preview->PositionText(), c.positions[i]);
            EXPECT_EQ(shown.Enabled("btnPreviousSheet"), i > 0);
            EXPECT_EQ(shown.Enabled("btnNextSheet"), i + 1 < c.pages);
            shown.Click("btnNextSheet");
        }
        shown.Click("btnPreviousSheet");
        if (c.pages > 1) {
            EXPECT_EQ(shown.preview->PositionText(), c.positions[c.positions.size() - 2]);
        }
    }
}

TEST(RunPreview, ZoomsAndFits)
{
    Shown shown({});
    QPrintPreviewWidget& view = shown.preview->view();
    EXPECT_EQ(view.zoomMode(), QPrintPreviewWidget::FitInView) << "a whole sheet at first";
    const qreal whole = view.zoomFactor();
    shown.Click("btnZoomIn");
    EXPECT_EQ(view.zoomMode(), QPrintPreviewWidget::CustomZoom);
    EXPECT_NEAR(view.zoomFactor(), whole * 1.25, 1e-9);
    shown.Click("btnZoomOut");
    shown.Click("btnZoomOut");
    EXPECT_NEAR(view.zoomFactor(), whole / 1.25, 1e-9);
    shown.Click("btnFitWidth");
    EXPECT_EQ(view.zoomMode(), QPrintPreviewWidget::FitToWidth);
    EXPECT_GT(view.zoomFactor(), whole) << "a letter sheet is taller than the view is wide";
    shown.Click("btnWholeSheet");
    EXPECT_EQ(view.zoomMode(), QPrintPreviewWidget::FitInView);
}

// The preview's page is the run's page for a PDF: paper as chosen, portrait,
// no margins, origin at the paper's corner, the chosen resolution.
// Pixels of the preview as shown that are clearly red: only the marks are.
// Pixels of the preview in the red of a pass that does not read, and in the
// orange of one that reads only in part.
std::pair<int, int> MarkPixels(QWidget& view)
{
    const QImage shot = view.grab().toImage();
    int red = 0;
    int orange = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 150 && c.blue() < 80 && c.green() < 80)
                ++red;
            else if (c.red() > 200 && c.blue() < 80 && c.green() > 100 && c.green() < 180)
                ++orange;
        }
    }
    return {red, orange};
}

struct MarkCase {
    double fontSize;
    int quantity;
    const char* line;  // under the sheet
    bool red, orange;
};

TEST(RunPreview, MarksThePassesWhoseBarcodesWillNotRead)
{
    const MarkCase cases[] = {
        {1.0, 10, "", false, false},
        {7.0, 10, "10 passes on this sheet cannot be read", true, false},
        {7.0, 1, "1 pass on this sheet cannot be read", true, false},
        {3.0, 10, "10 passes read only in part (orange)", false, true},
    };
    for (const MarkCase& c : cases) {
        SCOPED_TRACE(c.line);
        QPrinter chosen(QPrinter::HighResolution);
        chosen.setOutputFormat(QPrinter::PdfFormat);
        const std::unique_ptr<QPrinter> page = PreviewPrinterFor(chosen);
        QTemporaryDir dir;
        FixedHeadingStyle style;
        PrintRunRequest request = StartCellFourRun(style, dir.filePath("code128.bmp"), {});
        request.settings.cols = 2;
        request.settings.rows = 5;
        request.settings.fontSizeFactor = c.fontSize;
        request.settings.headingLines = {"LANE PASS", "", "Admit one", "", ""};
        request.startCell = 1;
        request.rows[0].quantityText = QString::number(c.quantity);
        RunPreview preview(*page, PlanRun(request, OutputChoiceOf(*page)));
        preview.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
        EXPECT_EQ(preview.UnreadableText(), QString::fromUtf8(c.line));
        const auto [red, orange] = MarkPixels(preview.view());
        EXPECT_EQ(red > 0, c.red);
        EXPECT_EQ(orange > 0, c.orange);
    }
}

TEST(PreviewPrinter, TakesTheRunsPageForTheChosenOutput)
{
    struct Case {
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
        qreal marginsPt;
        int resolution;
        QSize paperPx;
    };
    const Case cases[] = {
        {QPageSize::Letter, QPageLayout::Portrait, 10, 1200, {10200, 13200}},
        {QPageSize::Letter, QPageLayout::Landscape, 36, 300, {2550, 3300}},
        {QPageSize::A4, QPageLayout::Portrait, 18, 600, {4958, 7017}},
    };
    for (const Case& c : cases) {
        QPrinter chosen(QPrinter::HighResolution);
        chosen.setOutputFormat(QPrinter::PdfFormat);
        chosen.setPageSize(QPageSize(c.paper));
        chosen.setPageOrientation(c.orientation);
        chosen.setPageMargins(QMarginsF(c.marginsPt, c.marginsPt, c.marginsPt, c.marginsPt), QPageLayout::Point);
        chosen.setResolution(c.resolution);
        const auto page = PreviewPrinterFor(chosen);
        SCOPED_TRACE(page->pageLayout().pageSize().name().toStdString());
        EXPECT_EQ(page->outputFormat(), QPrinter::PdfFormat);
        EXPECT_EQ(page->resolution(), c.resolution);
        EXPECT_EQ(page->pageLayout().orientation(), QPageLayout::Portrait);
        EXPECT_EQ(page->pageLayout().pageSize().id(), c.paper);
        EXPECT_EQ(page->pageLayout().margins(QPageLayout::Point), QMarginsF(0, 0, 0, 0));
        EXPECT_EQ(page->pageLayout().paintRectPixels(c.resolution), QRect(QPoint(0, 0), c.paperPx));
        EXPECT_TRUE(page->outputFileName().isEmpty()) << "a preview writes no file";
    }
}

// Peak resident memory of this process since the last reset, in MB.
double PeakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).simplified().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// 100 sheets of 4 x 20: the sheet in view and those beside it hold their passes,
// paging draws the next ones, and the window stays small however long the run.
TEST(RunPreview, ALongRunHoldsOnlyTheSheetsNearTheOneInView)
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    ASSERT_TRUE(clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1) << "cannot reset the peak";
    clearRefs.close();

    FixedHeadingStyle style;
    QTemporaryDir dir;
    PassListRow row;
    row.lane = "07";
    row.validOnStamp = EncodeValidOnStamp(QDate(2026, 3, 1), QTime(12, 0));
    row.quantityText = "80";
    PrintRunRequest request;
    request.settings.cols = 4;
    request.settings.rows = 20;
    request.settings.leftMarginInches = 0.25;
    request.settings.topMarginInches = 0.5;
    request.settings.headingLines = {"RIVERSIDE AQUATIC CENTRE", "Lane Swim Pass", "Admit one", "", ""};
    for (int sheet = 0; sheet < 100; ++sheet) {
        row.validOnStamp = EncodeValidOnStamp(QDate(2026, 3, 1).addDays(sheet), QTime(12, 0));
        request.rows.push_back(row);
    }
    request.style = &style;
    request.bitmapPath = dir.filePath("code128.bmp");
    QPrinter chosen(QPrinter::HighResolution);
    chosen.setOutputFormat(QPrinter::PdfFormat);
    const std::unique_ptr<QPrinter> page = PreviewPrinterFor(chosen);
    QElapsedTimer opening;
    opening.start();
    RunPreview preview(*page, PlanRun(request, OutputChoiceOf(*page)));
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    // Reported, not checked: the time belongs to the benchmark's figures.
    RecordProperty("open_ms", int(opening.elapsed()));
    EXPECT_EQ(preview.view().pageCount(), 100);
    EXPECT_EQ(preview.FilledPages(), std::make_pair(1, 3));

    const struct {
        int steps;
        std::pair<int, int> filled;
    } pagings[] = {{1, {1, 3}}, {1, {1, 5}}, {5, {6, 10}}, {-4, {2, 6}}};
    for (const auto& paging : pagings) {
        const char* button = paging.steps > 0 ? "btnNextSheet" : "btnPreviousSheet";
        for (int i = 0; i < std::abs(paging.steps); ++i)
            QTest::mouseClick(preview.findChild<QPushButton*>(button), Qt::LeftButton);
        const QDeadlineTimer deadline(20000);
        while (preview.FilledPages() != paging.filled && !deadline.hasExpired())
            QTest::qWait(10);
        EXPECT_EQ(preview.FilledPages(), paging.filled) << "in view: page " << preview.view().currentPage();
    }
    EXPECT_LT(PeakRssMb(), 120.0);
    RecordProperty("peak_rss_mb", int(PeakRssMb()));
}

}  // namespace
