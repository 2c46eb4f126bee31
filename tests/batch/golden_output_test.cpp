// The PDF bytes of canonical runs, as the window's Print to File and as
// tessary-print write them, pinned by hash: a change to how a run is planned
// or walked must not move a single byte. Runs with QT_HASH_SEED=0 (the test
// environment sets it) and without the creation date, the one thing that
// differs from run to run.
#include "support/main_window_fixture.h"
#include "support/batch_tool.h"
#include "register/pass_register.h"
#include "support/tools.h"
#include "support/twelve_pass_run.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct WindowCase {
    const char* what;
    const char* quantity;
    int startCell;
    bool outlines;
    RunCopies copies;
    const char* hash;
};

const WindowCase kWindowRuns[] = {
    {"one sheet", "4", 1, false, {}, "f6d6bc35e3d28b08"},
    {"three sheets", "12", 1, false, {}, "f7ea79d9272e1aea"},
    {"start cell 4", "12", 4, false, {}, "3c31c4865da0cb9a"},
    {"outlines", "4", 1, true, {}, "764abd754dcbbaba"},
    {"two copies collated", "8", 1, false, {2, true}, "f4850a3e1dc7416c"},
    {"two copies not collated", "8", 1, false, {2, false}, "260273679138a994"},
};

TEST(GoldenOutput, WindowPrintToFile)
{
    ASSERT_EQ(qgetenv("QT_HASH_SEED"), "0");
    for (const WindowCase& c : kWindowRuns) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        FixedHeadingStyle style;
        PrintRunRequest request = TwelvePassesOnTwoByTwo(style, dir.filePath("code128.bmp"));
        request.rows[0].quantityText = c.quantity;
        request.startCell = c.startCell;
        request.outlineCells = c.outlines;
        PrintToPdfFile(request, dir.filePath("run.pdf"), c.copies);
        EXPECT_EQ(GoldenPdfHash(dir.filePath("run.pdf")), c.hash);
    }
}

struct BatchCase {
    const char* what;
    QStringList arguments;
    const char* hash;
    bool recorded = false;  // into a register file of the case's own
};

TEST(GoldenOutput, TessaryPrintToFile)
{
    const BatchCase runs[] = {
        {"one sheet", {"--row", "07,2026-12-08T09:30:14,4"}, "403bb6e31227d9c8"},
        {"three sheets, start cell 4, outlines",
         {"--row", "07,2026-12-08T09:30:14,9", "--start-cell", "4", "--outline"},
         "3fc6af03e63a5f38"},
        // Two rows of other lanes: no barcode is shared, and the sheet between is left out.
        {"sheets 1 and 3 of three",
         {"--row", "07,2026-12-08T09:30:14,6", "--row", "03,2026-12-08T10:00:00,6", "-P", "1,3"},
         "62d95527ea41c94e"},
        {"recorded in a register", {"--row", "07,2026-12-08T09:30:14,4"}, "403bb6e31227d9c8", true},
    };
    QTemporaryDir dir;
    const QString label = dir.filePath("passes.lbl");
    WriteLabelFile(label, 2, 2);
    for (const BatchCase& c : runs) {
        SCOPED_TRACE(c.what);
        const QString pdf = dir.filePath("run.pdf");
        QProcessEnvironment environment = ToolEnvironment(dir.filePath("no-scheduler"));
        const QString registerFile = dir.filePath(QStringLiteral("passes-%1.sqlite").arg(&c - runs));
        if (c.recorded)
            environment.insert("TESSARY_REGISTER", registerFile);
        const ToolRun run =
            RunTessaryPrint(QStringList{"--label", label, "--pdf", pdf, "--quiet"} + c.arguments, environment);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(GoldenPdfHash(pdf), c.hash);
        EXPECT_EQ(QFile::exists(registerFile), c.recorded);
        if (c.recorded) {
            // The bytes of the same run unrecorded, every pass recorded issued.
            PassRegister passRegister(ParseRegisterLocation(registerFile), RegisterAccess::ReadOnly);
            const std::vector<PassRecord> records = passRegister.Records({});
            EXPECT_EQ(records.size(), 4u);
            EXPECT_TRUE(std::none_of(records.begin(), records.end(), [](const PassRecord& r) { return r.pending; }));
        }
    }
}

// The window's own path: its Print button, the print dialog answered with
// Print to File. Its rows take the clock's time of day, so its bytes are held
// to tessary-print's for the same label file and instants, whose bytes the
// table above pins.
TEST_F(MainWindowTest, WindowPrintsTheBytesTessaryPrintPrints)
{
    QTemporaryDir dir;
    const QString label = dir.filePath("passes.lbl");
    WriteLabelFile(label, 2, 2);
    window->LoadLabelFile(label);
    Click("btnClear");
    AddRow("07", QDate(2026, 12, 8), "6");
    AddRow("03", QDate(2026, 12, 9), "3");
    ModalScript script;
    PrintTo(dir.filePath("window.pdf"), script);
    ASSERT_EQ(script.Pending(), 0);
    ASSERT_TRUE(script.Unexpected().isEmpty()) << script.Unexpected().join(' ').toStdString();

    QStringList arguments{"--label", label, "--pdf", dir.filePath("tool.pdf"), "--quiet"};
    for (const PassListRow& row : window->passList().EntryRows()) {
        const CalendarInstant at = DecodeValidOnStamp(row.validOnStamp);
        const QDateTime instant(DateOf(at), QTime(at.hour, at.minute, at.second));
        arguments << "--row" << QStringLiteral("%1,%2,%3").arg(row.lane, instant.toString("yyyy-MM-ddThh:mm:ss"),
                                                              row.quantityText);
    }
    const ToolRun run = RunTessaryPrint(arguments, ToolEnvironment(dir.filePath("no-scheduler")));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QString windowHash = GoldenPdfHash(dir.filePath("window.pdf"));
    ASSERT_FALSE(windowHash.isEmpty());
    EXPECT_EQ(windowHash, GoldenPdfHash(dir.filePath("tool.pdf")));
}

}  // namespace
