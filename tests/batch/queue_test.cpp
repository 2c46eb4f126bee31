// tessary-print --printer to a cups-pdf queue of the test's own scheduler:
// the job's every barcode scans as the run's passes, and a run that fails or
// is stopped sends no job.
#include "support/batch_tool.h"
#include "support/shared_scheduler.h"
#include "support/pdf_barcodes.h"
#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <csignal>
#include <cstdlib>
#include <iostream>

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

const QString kQueue = QStringLiteral("Passes");
const QString kFirstRow = QStringLiteral("03,2026-03-04T08:00:00,6");   // pass numbers from 25385600
const QString kSecondRow = QStringLiteral("07,2026-03-05T09:30:00,3");  // from 25477400

// Barcode texts of passes first..first+count-1 of a row whose first pass is number.
QStringList Barcodes(int number, int first, int count, const char* lane)
{
    QStringList texts;
    for (int i = first; i < first + count; ++i)
        texts << QString::number(number + i) + QLatin1String(lane);
    return texts;
}

struct QueueCase {
    const char* name;
    QStringList options;
    int pages;
    QStringList barcodes;
};

const QueueCase kQueueCases[] = {
    {"every sheet", {}, 3, Barcodes(25385600, 0, 6, "03") + Barcodes(25477400, 0, 3, "07")},
    // Two cells of sheet 1 used already: sheet 2 holds passes 2..5, sheet 3 the rest.
    {"range from a partly used sheet", {"--start-cell", "3", "--pages", "2-3", "--outline"}, 2,
     Barcodes(25385600, 2, 4, "03") + Barcodes(25477400, 0, 3, "07")},
};

class TessaryPrintQueue : public ::testing::Test {
protected:
    static PrivateCupsScheduler& Scheduler() { return SharedScheduler::Get(); }

    void SetUp() override
    {
        SKIP_OR_ASSERT_SHARED_SCHEDULER();
        ASSERT_EQ(Text(SharedScheduler::Queue(kQueue)), "");
        WriteLabelFile(inputs_.filePath("2x2.lbl"), 2, 2);
    }

    QStringList Arguments(const QStringList& options) const
    {
        return QStringList{"--label", inputs_.filePath("2x2.lbl"), "--row", kFirstRow, "--row", kSecondRow,
                           "--printer", kQueue, "--quiet"}
            + options;
    }

    // Jobs the queue completed since `before`, once it has none waiting.
    static QStringList NewJobs(const QStringList& before)
    {
        EXPECT_TRUE(Scheduler().WaitUntilQueueEmpty(kQueue, 120000)) << Text(Scheduler().PendingJobs(kQueue).join(' '));
        QStringList jobs = Scheduler().CompletedJobs(kQueue);
        for (const QString& job : before)
            jobs.removeAll(job);
        return jobs;
    }

    QTemporaryDir inputs_;
};


TEST_F(TessaryPrintQueue, EveryBarcodeOfTheJobScansAsTheRunsPasses)
{
    for (const QueueCase& c : kQueueCases) {
        SCOPED_TRACE(c.name);
        const QStringList before = Scheduler().CompletedJobs(kQueue);
        const ToolRun run = RunTessaryPrint(Arguments(c.options), Scheduler().Env());
        ASSERT_EQ(run.status, 0) << Text(run.err);
        EXPECT_EQ(Text(run.err), "");

        const QStringList jobs = NewJobs(before);
        ASSERT_EQ(jobs.size(), 1) << Text(jobs.join(' '));
        const QString pdf = Scheduler().WaitForJobOutput(jobs.front(), 30000);
        ASSERT_FALSE(pdf.isEmpty()) << "no output in " << Text(Scheduler().OutputDir(kQueue));
        EXPECT_TRUE(RunTool("pdfinfo", {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(c.pages))));
        QTemporaryDir scans;
        QStringList found = ZbarPdfBarcodes(pdf, scans.path());
        found.sort();
        QStringList expected = c.barcodes;
        expected.sort();
        EXPECT_EQ(found, expected);
        std::cout << c.name << " via " << Text(jobs.front()) << ": passes printed " << expected.size()
                  << ", barcodes decoded " << found.size() << std::endl;
        QFile::remove(pdf);
    }
}

// The register keeps the run's job and print server: a run left pending can
// be looked for with lpstat, and find names both.
TEST_F(TessaryPrintQueue, TheRegisterKeepsTheRunsJobAndServer)
{
    QTemporaryDir registerFolder;
    QProcessEnvironment environment = Scheduler().Env();
    environment.insert("TESSARY_REGISTER", registerFolder.filePath("passes.sqlite"));
    const QStringList before = Scheduler().CompletedJobs(kQueue);
    const ToolRun run = RunTessaryPrint(Arguments({"--json"}), environment);
    ASSERT_EQ(run.status, 0) << Text(run.err);
    const QStringList jobs = NewJobs(before);
    ASSERT_EQ(jobs.size(), 1);

    QProcess find;
    find.setProcessEnvironment(environment);
    find.start(TESSARY_REGISTER_EXE, {"list", "--json"});
    ASSERT_TRUE(find.waitForFinished(60000));
    const QJsonArray records = QJsonDocument::fromJson(find.readAllStandardOutput()).object().value("records").toArray();
    ASSERT_FALSE(records.isEmpty());
    for (const QJsonValue& record : records) {
        const QJsonObject runObject = record.toObject().value("run").toObject();
        EXPECT_EQ(runObject.value("job").toString(), jobs.front());
        EXPECT_EQ(runObject.value("print_server").toString(), Scheduler().SocketPath());
    }
    find.start(TESSARY_REGISTER_EXE, {"list"});
    ASSERT_TRUE(find.waitForFinished(60000));
    EXPECT_TRUE(QString::fromUtf8(find.readAllStandardOutput())
                    .contains(QStringLiteral(", job %1 on %2").arg(jobs.front(), Scheduler().SocketPath())));
}

// The document a queue is sent for copies not collated, pinned by hash as the
// PDF files of golden_output_test.cpp are: the queue makes the copies from it.
TEST_F(TessaryPrintQueue, UncollatedCopiesSendTheDocumentOfOneCopy)
{
    const QStringList before = Scheduler().CompletedJobs(kQueue);
    const ToolRun run = RunTessaryPrint(Arguments({"-n", "2", "-o", "collate=false", "--allow-duplicates"}), Scheduler().Env());
    ASSERT_EQ(run.status, 0) << Text(run.err);
    const QStringList jobs = NewJobs(before);
    ASSERT_EQ(jobs.size(), 1) << Text(jobs.join(' '));
    const int id = jobs.front().section('-', -1).toInt();
    const QString document = QDir(Scheduler().Folder()).filePath(QStringLiteral("spool/d%1-001").arg(id, 5, 10, QChar('0')));
    EXPECT_EQ(Text(GoldenPdfHash(document)), "ce5a1e5108ba4be7");
    EXPECT_TRUE(RunTool("pdfinfo", {document}).contains(QRegularExpression("Pages:\\s+3\\n")));
}

TEST_F(TessaryPrintQueue, AQueueThatRefusesTheJobEndsTheRunWithItsMessage)
{
    int code = -1;
    Scheduler().Run("cupsreject", {"-r", "closed for the test", kQueue}, &code);
    ASSERT_EQ(code, 0);
    const QStringList before = Scheduler().CompletedJobs(kQueue);
    const QSet<QString> filesBefore = Scheduler().OutputFiles(kQueue);
    const ToolRun run = RunTessaryPrint(Arguments({}), Scheduler().Env());
    Scheduler().Run("cupsaccept", {kQueue}, &code);

    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.err.startsWith("tessary-print: The printer Passes did not accept the job: ")) << Text(run.err);
    std::cout << Text(run.err);
    EXPECT_TRUE(NewJobs(before).isEmpty());
    EXPECT_EQ(Scheduler().OutputFiles(kQueue), filesBefore);
}

// How far the second column of a page lies right of where it lies on another
// page, in pixels of the pages as rendered: the shift of the one that best lays
// the dark pixels of each column of the right half over the other's.
int RightHalfShiftPx(const QImage& from, const QImage& to)
{
    const auto darkPerColumn = [](const QImage& page) {
        const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
        std::vector<int> dark(size_t(grey.width()), 0);
        for (int y = 0; y < grey.height(); ++y) {
            const uchar* line = grey.constScanLine(y);
            for (int x = grey.width() / 2; x < grey.width(); ++x)
                dark[size_t(x)] += line[x] < 128 ? 1 : 0;
        }
        return dark;
    };
    const std::vector<int> a = darkPerColumn(from);
    const std::vector<int> b = darkPerColumn(to);
    constexpr int kFarthest = 60;
    int best = 0;
    qint64 bestDifference = -1;
    for (int shift = -kFarthest; shift <= kFarthest; ++shift) {
        qint64 difference = 0;
        for (int x = int(a.size()) / 2 + kFarthest; x + kFarthest < int(a.size()); ++x)
            difference += std::abs(a[size_t(x)] - b[size_t(x + shift)]);
        if (bestDifference < 0 || difference < bestDifference) {
            bestDifference = difference;
            best = shift;
        }
    }
    return best;
}

// The layout's pixel adjustments are the dots the job prints at: a queue that
// renders at 300 dpi moves a column 10/300 inch for ColAdjust=10, one at 600
// dpi 10/600, and a job that asks for 600 dpi of a 300-dpi queue 10/600.
TEST_F(TessaryPrintQueue, PixelAdjustmentsAreTheQueuesOwnDots)
{
    const struct {
        const char* queue;
        int ppdDpi;
        QStringList options;
        int dpi;
    } queues[] = {{"Passes300", 300, {}, 300},
                  {"Passes600", 600, {}, 600},
                  {"Passes300AskedFor600", 300, {"-o", "Resolution=600dpi"}, 600}};
    QTemporaryDir work;
    QFile ppd(QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"));
    ASSERT_TRUE(ppd.open(QIODevice::ReadOnly));
    const QString description = QString::fromLatin1(ppd.readAll());
    QFile label(inputs_.filePath("2x2.lbl"));
    ASSERT_TRUE(label.open(QIODevice::ReadOnly));
    const QString unadjusted = QString::fromUtf8(label.readAll());
    const QRegularExpression colAdjust(QStringLiteral("ColAdjust=[^\r\n]*"));
    ASSERT_TRUE(unadjusted.contains(colAdjust));
    WriteFile(inputs_.filePath("adjusted.lbl"), QString(unadjusted).replace(colAdjust, "ColAdjust=10").toUtf8());
    for (const auto& q : queues) {
        SCOPED_TRACE(q.queue);
        const QString ppdPath = work.filePath(QString::fromLatin1(q.queue) + ".ppd");
        WriteFile(ppdPath, QString(description).replace(QRegularExpression("\\*DefaultResolution: \\w+"),
                                                             QStringLiteral("*DefaultResolution: %1dpi").arg(q.ppdDpi)).toUtf8());
        ASSERT_EQ(Text(Scheduler().AddQueue(q.queue, ppdPath)), "");
        std::vector<QImage> pages;
        for (const char* file : {"2x2.lbl", "adjusted.lbl"}) {
            const QStringList before = Scheduler().CompletedJobs(q.queue);
            const ToolRun run = RunTessaryPrint(QStringList{"--label", inputs_.filePath(file), "--row", kFirstRow,
                                                            "--quiet", "--printer", q.queue}
                                                    + q.options,
                                                Scheduler().Env());
            ASSERT_EQ(run.status, 0) << Text(run.err);
            ASSERT_TRUE(Scheduler().WaitUntilQueueEmpty(q.queue, 60000));
            QStringList jobs = Scheduler().CompletedJobs(q.queue);
            for (const QString& job : before)
                jobs.removeAll(job);
            ASSERT_EQ(jobs.size(), 1);
            const QString pdf = Scheduler().WaitForJobOutput(jobs.front(), 30000);
            const QString prefix = work.filePath(QStringLiteral("page%1").arg(pages.size()));
            int code = -1;
            // The upper half, which holds the first row of cells: a whole page
            // at 600 dpi is beyond what QImage reads by default.
            const QString said = RunTool(
                "pdftoppm", {"-r", "600", "-gray", "-singlefile", "-H", "3300", "-W", "5100", pdf, prefix}, &code);
            ASSERT_EQ(code, 0) << Text(said);
            pages.emplace_back(prefix + ".pgm");
            ASSERT_FALSE(pages.back().isNull()) << Text(pdf);
        }
        EXPECT_NEAR(RightHalfShiftPx(pages[0], pages[1]), 10 * 600 / q.dpi, 1);
    }
}

// A scheduler that answers but has no such queue: the name is wrong, not the server.
TEST_F(TessaryPrintQueue, AQueueTheSchedulerDoesNotKnowIsNamed)
{
    QStringList arguments = Arguments({});
    arguments[arguments.indexOf(kQueue)] = QStringLiteral("NoSuchQueue");
    const ToolRun run = RunTessaryPrint(arguments, Scheduler().Env());
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(Text(run.err), "tessary-print: No printer named NoSuchQueue\n");
}

TEST_F(TessaryPrintQueue, AStoppedRunSendsNoJobAndLeavesNoFile)
{
    const QStringList before = Scheduler().CompletedJobs(kQueue);
    QTemporaryDir temporary;  // where the run stages its PDF
    QProcessEnvironment environment = Scheduler().Env();
    environment.insert("TMPDIR", temporary.path());
    QProcess tool;
    tool.setProcessEnvironment(environment);
    QByteArray rows;  // enough passes for a run of many minutes
    for (int i = 0; i < 5000; ++i)
        rows += "03,2026-03-04,99\n";
    QFile rowsFile(inputs_.filePath("rows.csv"));
    ASSERT_TRUE(rowsFile.open(QIODevice::WriteOnly));
    rowsFile.write(rows);
    rowsFile.close();
    tool.start(TESSARY_PRINT_EXE, {"--label", inputs_.filePath("2x2.lbl"), "--rows", inputs_.filePath("rows.csv"),
                                   "--allow-duplicates", "--quiet", "--printer", kQueue});
    ASSERT_TRUE(tool.waitForStarted());
    // Qt keeps a runtime folder there too when XDG_RUNTIME_DIR is not set.
    const auto staged = [&temporary] {
        QStringList entries = QDir(temporary.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        entries.removeIf([](const QString& name) { return name.startsWith("runtime-"); });
        return !entries.isEmpty();
    };
    // Stopped once the run is drawing into its PDFs (the documents drawn at
    // once, each in its own). Before, while it is planned, the queue's own
    // files (libcups' copy of its PPD) are there too.
    const auto drawing = [&temporary] {
        for (const QFileInfo& folder : QDir(temporary.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const QFileInfo& pdf : QDir(folder.filePath()).entryInfoList({"*.pdf"}, QDir::Files)) {
                if (pdf.size() > 0)
                    return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(QTest::qWaitFor(drawing, 60000));
    tool.terminate();
    ASSERT_TRUE(tool.waitForFinished(60000));

    EXPECT_EQ(tool.exitCode(), 128 + SIGTERM);
    EXPECT_EQ(Text(QString::fromUtf8(tool.readAllStandardError())), "");
    // A job wrongly sent would be on the scheduler's list once the tool ended.
    EXPECT_TRUE(NewJobs(before).isEmpty());
    EXPECT_TRUE(Scheduler().PendingJobs(kQueue).isEmpty());
    EXPECT_FALSE(staged());
}

// A scheduler that takes the connection and never answers (stopped here) ends
// the run with a message naming it, after the limit the variable sets.
TEST_F(TessaryPrintQueue, AStoppedSchedulerDidNotAnswerWithinTheLimit)
{
    ASSERT_EQ(::kill(pid_t(Scheduler().Pid()), SIGSTOP), 0);
    QProcessEnvironment environment = Scheduler().Env();
    environment.insert("TESSARY_PRINT_SERVER_TIMEOUT", "2");
    QElapsedTimer waited;
    waited.start();
    const ToolRun run = RunTessaryPrint(Arguments({}), environment);
    const qint64 seconds = waited.elapsed() / 1000;
    // A run to a file has no question for any scheduler.
    QTemporaryDir out;
    const ToolRun toFile = RunTessaryPrint({"--label", inputs_.filePath("2x2.lbl"), "--row", kFirstRow, "--pdf",
                                            out.filePath("run.pdf"), "--quiet"},
                                           environment);
    ::kill(pid_t(Scheduler().Pid()), SIGCONT);
    EXPECT_EQ(toFile.status, 0) << Text(toFile.err);

    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(Text(run.err), Text("tessary-print: The print server " + Scheduler().SocketPath() + " did not answer\n"));
    EXPECT_LT(seconds, 20) << "the limit is 2 seconds a call";
}

}  // namespace
