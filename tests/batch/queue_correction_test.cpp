// Two queues of the test's own scheduler keep two corrections in the user's
// settings: each tessary-print run, a process of its own, draws through its
// queue's (--correction 0,0 through none) and the register records it, and
// label files do not change.
#include "support/batch_tool.h"
#include "labelfile/label_file.h"
#include "output/stored_correction.h"
#include "register/pass_register.h"
#include "support/shared_scheduler.h"
#include "support/pdf_barcodes.h"
#include "support/rendered_sheet.h"

#include <QFile>
#include <QTemporaryDir>
#include <tuple>
#include <gtest/gtest.h>

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(QueueCorrection, EachQueueDrawsThroughItsOwnAcrossRuns)
{
    SKIP_OR_ASSERT_SHARED_SCHEDULER();
    PrivateCupsScheduler& scheduler = SharedScheduler::Get();
    const struct { const char* queue; PrinterCorrection kept; } cases[] = {{"Lanes", {0.060, -0.035, 100.40, 99.70}}, {"Desk", {-0.120, 0.080, 99.50, 100.60}}};
    QTemporaryDir dir;
    // Headings from the band's top: a centred one moves with the band's middle.
    LabelValues values;
    std::tie(values.cols, values.rows, values.font, values.leftMargin, values.top, values.lines[0]) =
        std::make_tuple("2", "5", "Liberation Sans", "0.25", "0.5", "LANE PASS");
    const QString label = dir.filePath("2x5.lbl");
    SaveLabelFile(label, values);
    const QByteArray labelBefore = FileBytes(label);
    for (const auto& c : cases) {
        ASSERT_EQ(SharedScheduler::Queue(c.queue).toStdString(), "");
        StoreCorrection(QueueCorrectionKey(c.queue, scheduler.SocketPath()), c.kept);
    }
    SaveLabelFile(label, LoadLabelFile(label));
    EXPECT_EQ(FileBytes(label), labelBefore);
    QProcessEnvironment environment = scheduler.Env();
    environment.insert("TESSARY_REGISTER", dir.filePath("passes.sqlite"));
    QStringList recorded, used;

    for (const auto& c : cases) {
        SCOPED_TRACE(c.queue);
        QRect ink[2];  // the page's ink without and with the queue's correction
        for (int corrected = 0; corrected < 2; ++corrected) {
            QStringList arguments{"--label", label, "--row", "07,2026-12-08T09:30:14,1", "--printer", c.queue,
                                  "--quiet", "--allow-reprint"};
            if (!corrected)
                arguments << "--correction" << "0,0";
            const QStringList before = scheduler.CompletedJobs(c.queue);
            const ToolRun run = RunTessaryPrint(arguments, environment);
            used << CorrectionText(corrected ? c.kept : PrinterCorrection{});
            ASSERT_EQ(run.status, 0) << run.err.toStdString();
            ASSERT_TRUE(scheduler.WaitUntilQueueEmpty(c.queue, 120000));
            QStringList jobs = scheduler.CompletedJobs(c.queue);
            for (const QString& job : before)
                jobs.removeAll(job);
            ASSERT_EQ(jobs.size(), 1);
            const QString pdf = scheduler.WaitForJobOutput(jobs.front(), 30000);
            ASSERT_FALSE(pdf.isEmpty());
            EXPECT_EQ(ScanPdfBarcodes(pdf, dir.path()), QStringList{"4949661407"});
            const QImage page = RenderedAt600(pdf, dir.path());
            ink[corrected] = InkBox(page, page.rect());
        }
        // In inches from the paper's corner; the run's origin is the queue's printable
        // corner, a fraction of an inch in, and the scale does not move it.
        EXPECT_NEAR(ink[1].left() / 600.0, ink[0].left() / 600.0 * c.kept.scaleXPercent / 100 + c.kept.offsetXInches,
                    0.004);
        EXPECT_NEAR(ink[1].top() / 600.0, ink[0].top() / 600.0 * c.kept.scaleYPercent / 100 + c.kept.offsetYInches,
                    0.004);
    }
    PassRegister passRegister(ParseRegisterLocation(dir.filePath("passes.sqlite")), RegisterAccess::ReadOnly);
    for (const PassRecord& record : passRegister.Records({}))
        recorded << record.run.output.correction;
    EXPECT_EQ(recorded, used);
}

}  // namespace
