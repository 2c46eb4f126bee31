// tessary-print draws the pages the window draws: the same label file loaded,
// the same rows added at the same instants, printed to file by both, then
// rendered and compared pixel by pixel.
#include "app/main_window_fixture.h"
#include "app/printed_pdf.h"
#include "batch/batch_tool.h"
#include "draw/pass_walk.h"
#include "passes/valid_on_stamp.h"
#include "support/tools.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

struct RowToAdd {
    const char* lane;
    QDate date;
    const char* quantity;
};

struct SameRunCase {
    const char* font;  // as the label file spells it
    int cols, rows;
    std::vector<RowToAdd> passRows;
    int sheets;
};

const SameRunCase kSameRuns[] = {
    // A Windows name bound to a metric-compatible face; rows of two lanes over two sheets.
    {"Arial", 2, 2, {{"07", QDate(2026, 3, 4), "5"}, {"03", QDate(2026, 3, 5), "2"}}, 2},
    // A family named in other letter case, on a 3 x 4 sheet.
    {"liberation serif", 3, 4, {{"09", QDate(2107, 12, 31), "12"}}, 1},
    // A face this system does not have: neither draws with a face of its own choosing.
    {"No Such Face", 2, 5, {{"01", QDate(1980, 1, 1), "3"}}, 1},
};

// Renders every page at 150 dpi; the pages in order.
std::vector<QImage> RenderPages(const QString& pdf, const QString& prefix)
{
    RunTool("pdftoppm", {"-r", "150", "-gray", "-png", pdf, prefix});
    const QFileInfo info(prefix);
    std::vector<QImage> pages;
    for (const QString& page : QDir(info.path()).entryList({info.fileName() + "-*.png"}, QDir::Files, QDir::Name))
        pages.emplace_back(QDir(info.path()).filePath(page));
    return pages;
}

// The row as the tool takes it, at the instant the window stamped it with.
QString RowArgument(const PassListRow& row)
{
    const CalendarInstant at = DecodeValidOnStamp(row.validOnStamp);
    const QDateTime instant(DateOf(at), QTime(at.hour, at.minute, at.second));
    return QStringLiteral("%1,%2,%3").arg(row.lane, instant.toString("yyyy-MM-ddThh:mm:ss"), row.quantityText);
}

TEST_F(MainWindowTest, TessaryPrintDrawsThePagesTheWindowPrintsToFile)
{
    for (const SameRunCase& c : kSameRuns) {
        SCOPED_TRACE(c.font);
        QTemporaryDir dir;
        const QString label = dir.filePath("run.lbl");
        WriteLabelFile(label, c.cols, c.rows, c.font);
        window->LoadLabelFile(label);
        Click("btnClear");
        for (const RowToAdd& row : c.passRows)
            AddRow(row.lane, row.date, row.quantity);

        ModalScript script;
        PrintTo(dir.filePath("window.pdf"), script);
        ASSERT_EQ(script.Pending(), 0);
        ASSERT_TRUE(script.Unexpected().isEmpty()) << Text(script.Unexpected().join(' '));

        QStringList arguments{"--label", label, "--pdf", dir.filePath("tool.pdf"), "--quiet"};
        for (const PassListRow& row : window->passList().EntryRows())
            arguments << "--row" << RowArgument(row);
        const ToolRun run = RunTessaryPrint(arguments, ToolEnvironment(dir.filePath("no-scheduler")));
        ASSERT_EQ(run.status, 0) << Text(run.err);

        const std::vector<QImage> windowPages = RenderPages(dir.filePath("window.pdf"), dir.filePath("window"));
        const std::vector<QImage> toolPages = RenderPages(dir.filePath("tool.pdf"), dir.filePath("tool"));
        ASSERT_EQ(int(windowPages.size()), c.sheets);
        ASSERT_EQ(toolPages.size(), windowPages.size());
        for (std::size_t page = 0; page < windowPages.size(); ++page) {
            SCOPED_TRACE("page " + std::to_string(page + 1));
            ASSERT_FALSE(windowPages[page].isNull());
            EXPECT_EQ(toolPages[page].size(), windowPages[page].size());
            EXPECT_TRUE(toolPages[page] == windowPages[page]);
        }
        // And what both drew is the run: every pass of it scans.
        EXPECT_EQ(ScanPdfBarcodes(dir.filePath("tool.pdf"), dir.path()).size(),
                  std::size_t(TotalPasses(window->passList().EntryRows())));
    }
}

}  // namespace
