// A run's passes are in the register exactly when its sheets were handed on:
// a run that fails after drawing leaves no record, a stopped run records the
// sheets it handed on, and a run killed between the two leaves pending records
// that the next run reports as "may have printed".
#include "support/batch_tool.h"
#include "common/tessary_error.h"
#include "output/run_page_layout.h"
#include "register/pass_register.h"
#include "register/register_run.h"
#include "support/register_test_support.h"
#include "run/print_run.h"
#include "support/shared_scheduler.h"
#include "support/twelve_pass_run.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

enum class Fault { None, Stop, RenameFails, Killed };

struct RecordedCase {
    const char* what;
    Fault fault;
    int issued;
    int pending;
    int stopAfter = 0;  // passes drawn, over all copies
    RunCopies copies = {};
    SheetSet set = SheetSet::All;
};

const RecordedCase kRuns[] = {
    {"a complete run", Fault::None, 12, 0},
    {"a run stopped after its first sheet", Fault::Stop, 4, 0, 4},
    {"a run whose file cannot be renamed into place", Fault::RenameFails, 0, 0},
    {"a run killed between pending and issued", Fault::Killed, 0, 12},
    // The file holds sheets 1 and 2 twice each: their passes, no more.
    {"two uncollated copies stopped in sheet 2's second copy", Fault::Stop, 8, 0, 14, {2, false}},
    {"two collated copies stopped in the second copy", Fault::Stop, 12, 0, 14, {2, true}},
    // Odd Pages: sheets 1 and 3 print, and only their passes are recorded.
    {"odd sheets", Fault::None, 8, 0, 0, {}, SheetSet::Odd},
};

// Twelve passes of one row on sheets of 2 x 2: three sheets.
struct FileRun {
    QTemporaryDir dir;
    QString pdf = dir.filePath("run.pdf");
    FixedHeadingStyle style;
    PrintRunRequest request = TwelvePassesOnTwoByTwo(style, dir.filePath("code128.bmp"));
    RegisterLocation location;
    int drawn = 0;

    FileRun()
    {
        location.file = dir.filePath("passes.sqlite");
    }

    void Print(PassRegister& passRegister, const RunCopies& copies = {})
    {
        RegisterRun recorder(passRegister, QStringLiteral("tessary-print"), {});
        request.recorder = &recorder;
        PrintToPdfFile(request, pdf, copies);
    }
};

TEST(RecordedRun, RecordsExactlyWhatWasHandedOn)
{
    for (const RecordedCase& c : kRuns) {
        SCOPED_TRACE(c.what);
        FileRun run;
        run.request.passDrawn = [&run, &c](const QString&) {
            ++run.drawn;
            if (c.fault == Fault::RenameFails && run.drawn == 12)
                QDir().mkpath(run.pdf + "/in-the-way");
            if (c.fault == Fault::Killed && run.drawn == 5)
                raise(SIGKILL);
        };
        run.request.sheets.set = c.set;
        run.request.stopRequested = [&run, &c] { return c.fault == Fault::Stop && run.drawn >= c.stopAfter; };
        if (c.fault == Fault::Killed) {
            // The register is opened in the child only: a connection must not cross a fork.
            EXPECT_EXIT(
                {
                    PassRegister passRegister(run.location);
                    run.Print(passRegister);
                },
                ::testing::KilledBySignal(SIGKILL), "");
        } else {
            PassRegister passRegister(run.location);
            try {
                run.Print(passRegister, c.copies);
                EXPECT_NE(c.fault, Fault::RenameFails) << "the run went on without its file";
            } catch (const TessaryError& error) {
                EXPECT_EQ(error.text(), "Unable to write to " + run.pdf);
            }
        }

        PassRegister passRegister(run.location);
        int issued = 0;
        int pending = 0;
        for (const PassRecord& record : passRegister.Records({})) {
            issued += record.pending ? 0 : 1;
            pending += record.pending ? 1 : 0;
            EXPECT_FALSE(record.reissue);
            // Every copy carries the run's barcodes again: the record says how many went.
            EXPECT_EQ(record.run.output.copies, c.copies.count);
        }
        EXPECT_EQ(issued, c.issued);
        EXPECT_EQ(pending, c.pending);
        if (c.fault == Fault::Stop && c.issued == 4) {
            RecordFilter filter;
            filter.barcode = PlacePasses(run.request.rows, run.request.settings.cols, run.request.settings.rows, run.request.startCell, run.request.sheets).passes[3].barcode;  // the last pass of sheet 1
            EXPECT_EQ(passRegister.Records(filter).size(), 1u);
        }
        const EarlierIssues next = passRegister.LookUp(PlacePasses(run.request.rows, run.request.settings.cols, run.request.settings.rows, run.request.startCell, run.request.sheets).passes);
        EXPECT_EQ(next.passes, c.issued + c.pending);
        EXPECT_EQ(next.mayHavePrinted, c.pending);
    }
}

}  // namespace

namespace {

// The sheets are drawn and the queue then refuses the job: nothing is
// recorded; once the queue accepts jobs again, the same run prints unasked.
TEST(RecordedRun, AJobTheQueueRefusesLeavesNoRecord)
{
    SKIP_OR_ASSERT_SHARED_SCHEDULER();
    PrivateCupsScheduler& cups = SharedScheduler::Get();
    ASSERT_EQ(SharedScheduler::Queue(QStringLiteral("PDF")), QString());
    cups.Run(QStringLiteral("cupsreject"), {QStringLiteral("PDF")});
    QTemporaryDir dir;
    const QString label = dir.filePath("passes.lbl");
    WriteLabelFile(label, 2, 2);
    RegisterLocation location;
    location.file = dir.filePath("passes.sqlite");
    QProcessEnvironment environment = cups.Env();
    environment.insert(QStringLiteral("TESSARY_REGISTER"), location.file);
    const QStringList arguments = {"--label", label, "--row", "07,2026-06-01,4", "--at", "08:00:00",
                                   "--printer", "PDF", "--quiet"};

    const ToolRun refused = RunTessaryPrint(arguments, environment);
    EXPECT_EQ(refused.status, 3) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("did not accept the job")) << refused.err.toStdString();
    EXPECT_TRUE(PassRegister(location).Records({}).empty());

    cups.Run(QStringLiteral("cupsaccept"), {QStringLiteral("PDF")});
    const ToolRun printed = RunTessaryPrint(arguments, environment);
    EXPECT_EQ(printed.status, 0) << printed.err.toStdString();
    EXPECT_EQ(PassRegister(location).Records({}).size(), 4u);
}

}  // namespace
