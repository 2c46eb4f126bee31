// tessary-print draws the pages the window draws: the same label file loaded,
// the same rows added at the same instants, printed to file by both, then
// rendered and compared pixel by pixel.
#include "support/answer_question.h"
#include "support/main_window_fixture.h"
#include "support/printed_pdf.h"
#include "support/batch_tool.h"
#include "passes/run_passes.h"
#include "passes/valid_on_stamp.h"
#include "support/tools.h"

#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
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

        const std::vector<QImage> windowPages = RenderPdfPages(dir.filePath("window.pdf"), 150, dir.path());
        const std::vector<QImage> toolPages = RenderPdfPages(dir.filePath("tool.pdf"), 150, dir.path());
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

// The window and tessary-print given the same run refuse it, ask about it or
// print it alike: the window's box (answered No) against the tool's exit status
// and message, or the sheets both print.
TEST_F(MainWindowTest, TheWindowAndTessaryPrintRefuseAskAndPrintAlike)
{
    struct Case {
        const char* what;
        int cols;
        std::vector<RowToAdd> passRows;
        const char* pages;       // the dialog's Pages and the tool's -P; "" for all
        const char* windowBox;   // nullptr: the window prints
        const char* toolSays;    // in the tool's message; nullptr: it prints
        int sheets;              // printed by both
    };
    const QDate day(2026, 3, 4);
    const Case cases[] = {
        {"no cell across", 0, {{"03", day, "4"}}, "", "messageBox", "Invalid value, fix and retry...", 0},
        {"an empty pass list", 2, {}, "", "messageBox", "Invalid value, fix and retry...", 0},
        {"a range past the last sheet", 2, {{"03", day, "4"}}, "3-4", "messageBox",
         "Nothing to print: the page range holds no sheet of this run.", 0},
        {"rows that share barcodes", 2, {{"03", day, "10"}, {"03", day, "10"}}, "", "duplicateQuestion",
         "--allow-duplicates", 0},
        // The shared barcodes of rows 1 and 2 are on sheet 2, which 1,3 leaves out.
        {"sheets 1 and 3 of them", 2, {{"03", day, "10"}, {"03", day, "10"}, {"04", day, "10"}}, "1,3", nullptr,
         nullptr, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString label = dir.filePath("run.lbl");
        WriteLabelFile(label, 2, 5);
        window->LoadLabelFile(label);
        SetSheet(QString::number(c.cols), "5");
        Click("btnClear");
        for (const RowToAdd& row : c.passRows)
            AddRow(row.lane, row.date, row.quantity);

        const QString windowPdf = dir.filePath("window.pdf");
        const QString pages = QString::fromLatin1(c.pages);
        QString told;
        ModalScript script;
        script.Expect("printDialog", [&](QWidget* dialog) {
            ChoosePdfOutput(dialog, windowPdf);
            if (!pages.isEmpty()) {
                dialog->findChild<QRadioButton*>("pagesRadioButton")->setChecked(true);
                dialog->findChild<QLineEdit*>("pagesLineEdit")->setText(pages);
            }
            static_cast<QDialog*>(dialog)->accept();
        });
        if (c.windowBox)
            script.Expect(c.windowBox, QString(c.windowBox) == "messageBox" ? AcceptMessage(&told)
                                                                           : Answer(QMessageBox::No, &told));
        Click("btnPrint");
        ASSERT_EQ(script.Pending(), 0);
        ASSERT_TRUE(script.Unexpected().isEmpty()) << Text(script.Unexpected().join(' '));

        // The tool is given the label file as the window has it now, and its rows.
        const QString toolLabel = dir.filePath("tool.lbl");
        WriteLabelFile(toolLabel, c.cols, 5);
        QStringList arguments{"--label", toolLabel, "--pdf", dir.filePath("tool.pdf"), "--quiet"};
        for (const PassListRow& row : window->passList().EntryRows())
            arguments << "--row" << RowArgument(row);
        if (c.passRows.empty()) {
            QFile csv(dir.filePath("empty.csv"));
            ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
            csv.write("Lane,Date,Quantity\n");
            csv.close();
            arguments << "--rows" << dir.filePath("empty.csv");
        }
        if (!pages.isEmpty())
            arguments << "-P" << pages;
        const ToolRun run = RunTessaryPrint(arguments, ToolEnvironment(dir.filePath("no-scheduler")));
        if (c.toolSays) {
            EXPECT_EQ(run.status, 1) << Text(run.err);
            EXPECT_TRUE(run.err.contains(QLatin1String(c.toolSays))) << Text(run.err);
            if (QString(c.windowBox) == "messageBox") {
                EXPECT_EQ(told, QLatin1String(c.toolSays));
            }
            EXPECT_FALSE(QFile::exists(dir.filePath("tool.pdf")));
        } else {
            ASSERT_EQ(run.status, 0) << Text(run.err);
            EXPECT_EQ(PdfPageCount(dir.filePath("tool.pdf")), c.sheets);
            EXPECT_EQ(PdfPageCount(windowPdf), c.sheets);
        }
        // A question answered No prints nothing; a layout that cannot be laid
        // out ends the window's document of one empty page.
        if (c.windowBox && QString(c.windowBox) != "messageBox") {
            EXPECT_FALSE(QFile::exists(windowPdf));
        }
    }
}

}  // namespace
