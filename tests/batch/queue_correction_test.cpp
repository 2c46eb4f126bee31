// Two queues of the test's own scheduler keep two corrections in the user's
// settings: each tessary-print run (a new process) draws through its queue's
// own, --correction 0,0 through none, and label files are not touched.
#include "batch/batch_tool.h"
#include "labelfile/label_file.h"
#include "render/printer_correction.h"
#include "support/private_cups_scheduler.h"
#include "support/tools.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

constexpr int kDpi = 600;

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The top-left corner of the ink of page 1, in inches.
QPointF InkCorner(const QString& pdf, const QString& dir)
{
    RunTool("pdftoppm", {"-r", QString::number(kDpi), "-gray", "-singlefile", "-f", "1", "-l", "1", pdf,
                         dir + "/page"});
    QImageReader::setAllocationLimit(256);
    const QImage page = QImage(dir + "/page.pgm").convertToFormat(QImage::Format_Grayscale8);
    int left = page.width(), top = page.height();
    for (int y = 0; y < page.height(); ++y) {
        const uchar* line = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            if (line[x] < 128) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
        }
    }
    return QPointF(double(left) / kDpi, double(top) / kDpi);
}

struct QueueCorrectionCase {
    const char* queue;
    PrinterCorrection kept;
};

TEST(QueueCorrection, EachQueueDrawsThroughItsOwnAcrossRuns)
{
    const QString missing = PrivateCupsScheduler::MissingPrerequisite();
    if (!missing.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler on this machine: " << Text(missing);
    PrivateCupsScheduler scheduler;
    ASSERT_EQ(Text(scheduler.Start()), "");
    const QueueCorrectionCase cases[] = {
        {"Lanes", {0.060, -0.035, 100.40, 99.70}},
        {"Desk", {-0.120, 0.080, 99.50, 100.60}},
    };
    QTemporaryDir dir;
    // Headings from the band's top: a centred one would move with the band's middle.
    const QString label = dir.filePath("2x5.lbl");
    LabelValues values;
    values.cols = "2";
    values.rows = "5";
    values.font = "Liberation Sans";
    values.leftMargin = "0.25";
    values.top = "0.5";
    values.lines[0] = "LANE PASS";
    SaveLabelFile(label, values);
    const QByteArray labelBefore = FileBytes(label);
    for (const QueueCorrectionCase& c : cases) {
        ASSERT_EQ(Text(scheduler.AddQueue(c.queue)), "");
        StoreCorrection(QueueCorrectionKey(c.queue, scheduler.SocketPath()), c.kept);
    }
    // Saved again once the corrections are kept: the same bytes.
    SaveLabelFile(label, LoadLabelFile(label));
    EXPECT_EQ(FileBytes(label), labelBefore);

    for (const QueueCorrectionCase& c : cases) {
        SCOPED_TRACE(c.queue);
        QPointF corner[2];
        for (int corrected = 0; corrected < 2; ++corrected) {
            QStringList arguments{"--label", label, "--row", "07,2026-12-08T09:30:14,1", "--printer", c.queue,
                                  "--quiet", "--allow-reprint"};
            if (!corrected)
                arguments << "--correction" << "0,0";
            const QStringList before = scheduler.CompletedJobs(c.queue);
            const ToolRun run = RunTessaryPrint(arguments, scheduler.Env());
            ASSERT_EQ(run.status, 0) << Text(run.err);
            ASSERT_TRUE(scheduler.WaitUntilQueueEmpty(c.queue, 120000));
            QStringList jobs = scheduler.CompletedJobs(c.queue);
            for (const QString& job : before)
                jobs.removeAll(job);
            ASSERT_EQ(jobs.size(), 1);
            const QString pdf = scheduler.WaitForJobOutput(jobs.front(), 30000);
            ASSERT_FALSE(pdf.isEmpty());
            if (corrected) {
                EXPECT_EQ(ScanPdfBarcodes(pdf, dir.path()), QStringList{"4949661407"});
            }
            corner[corrected] = InkCorner(pdf, dir.path());
        }
        // Within a queue margin's scaling (cups-pdf's are a fraction of an inch).
        EXPECT_NEAR(corner[1].x(), corner[0].x() * c.kept.scaleXPercent / 100 + c.kept.offsetXInches, 0.004);
        EXPECT_NEAR(corner[1].y(), corner[0].y() * c.kept.scaleYPercent / 100 + c.kept.offsetYInches, 0.004);
    }
}

}  // namespace
