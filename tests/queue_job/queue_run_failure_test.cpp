// A run to a queue that fails, is refused or cannot be submitted: the error box
// shows, "&Print" is back, the queue gets no job, and the next run, once the
// cause is gone, prints every pass.
#include "queue_job/queue_window_fixture.h"
#include "support/during_run.h"

#include "support/printed_pdf.h"
#include "barcode/barcode_bitmap_path.h"
#include "support/private_cups_scheduler.h"
#include "support/small_tmpfs.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// Points the system's temporary folder, where a run stages a queue's job, at
// another folder for as long as the object lives.
class TemporaryFolderAt {
public:
    explicit TemporaryFolderAt(const QString& path) : wasSet_(qEnvironmentVariableIsSet("TMPDIR")), was_(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(path));
    }
    ~TemporaryFolderAt()
    {
        if (wasSet_)
            qputenv("TMPDIR", was_);
        else
            qunsetenv("TMPDIR");
    }

private:
    bool wasSet_;
    QByteArray was_;
};

// The run has begun its document: its staging folder holds the PDF.
std::function<bool()> PdfStagedIn(const QString& stagingRoot)
{
    return [stagingRoot] {
        const QStringList staged = QDir(stagingRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        return !staged.isEmpty() && QDir(stagingRoot).exists(staged.front() + "/passes.pdf");
    };
}

// The barcode file's place turned into a folder: the next pass cannot be drawn.
class BarcodeFileBlocker {
public:
    ~BarcodeFileBlocker() { QDir(bitmap).removeRecursively(); }
    void Block() const
    {
        QFile::remove(bitmap);
        QDir().mkpath(bitmap + "/in-the-way");
    }
    const QString bitmap = BarcodeBitmapPath();
};

struct InjectedFailure {
    const char* name;
    const char* cols;
    const char* rows;
    const char* quantity;
    int sheets;
};

void PrintTo(const InjectedFailure& failure, std::ostream* out) { *out << failure.name; }

class QueueRunFailure : public QueueWindowTest, public ::testing::WithParamInterface<InjectedFailure> {};

TEST_P(QueueRunFailure, SendsNoJobAndTheNextRunPrintsEveryPass)
{
    const InjectedFailure& run = GetParam();
    AddRow("07", QDate(2026, 12, 8), run.quantity);
    SetSheet(run.cols, run.rows);
    const QStringList jobsBefore = CompletedJobs();
    const QSet<QString> outputBefore = OutputFiles();

    QTemporaryDir staging;
    {
        TemporaryFolderAt temporaryFolder(staging.path());
        BarcodeFileBlocker blocker;
        DuringRun block(*Find<QPushButton>("btnPrint"), PdfStagedIn(staging.path()), [&blocker] { blocker.Block(); });
        EXPECT_EQ(PrintToQueue(), "Cannot create file " + blocker.bitmap + ".");
        EXPECT_EQ(block.fired, 1);
    }
    EXPECT_TRUE(QDir(staging.path()).isEmpty()) << "the run's own PDF was left behind";
    ExpectNoJob(jobsBefore, outputBefore);

    EXPECT_EQ(PrintToQueue(), QString());
    const QString job = OnlyNewJob(jobsBefore);
    ExpectEveryPass(job, run.sheets);
}

INSTANTIATE_TEST_SUITE_P(Sheets, QueueRunFailure,
                         ::testing::Values(InjectedFailure{"OnePassASheet", "1", "1", "4", 4},
                                           InjectedFailure{"TwoByFive", "2", "5", "25", 3},
                                           InjectedFailure{"ThreeByFour", "3", "4", "30", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

// A stop asked for by Abort is no failure: the sheets drawn so far are printed,
// the sheet begun by the page change staying empty.
TEST_F(QueueWindowTest, AbortPrintsTheSheetsDrawnSoFar)
{
    AddRow("09", QDate(2026, 12, 11), "12");
    SetSheet("2", "2");
    const QStringList jobsBefore = CompletedJobs();
    QTemporaryDir staging;
    {
        TemporaryFolderAt temporaryFolder(staging.path());
        DuringRun abort(*Find<QPushButton>("btnPrint"), PdfStagedIn(staging.path()),
                                [this] { QTest::mouseClick(Find<QPushButton>("btnPrint"), Qt::LeftButton); });
        EXPECT_EQ(PrintToQueue(), QString());
        EXPECT_EQ(abort.fired, 1);
    }
    EXPECT_TRUE(window->AbortRequested());
    const QString pdf = Cups().WaitForJobOutput(OnlyNewJob(jobsBefore), 60000);
    ASSERT_EQ(PdfPageCount(pdf), 2);
    QStringList firstSheet = ExpectedBarcodes(window->passList().EntryRow(1), 0, 4);
    firstSheet.sort();
    EXPECT_EQ(ScanPdfPage(pdf, 1, staging.path()), firstSheet);
    EXPECT_EQ(ScanPdfPage(pdf, 2, staging.path()), QStringList{});
}

struct Refusal {
    const char* name;
    std::function<void()> beforeTheRun;
    std::function<void(QWidget* dialog)> inTheDialog;
    QString error;                   // "" for the full temporary folder, checked on its own
    std::function<void()> putRight;  // before the next run
};

PrivateCupsScheduler& Cups() { return QueueWindowTest::Cups(); }

std::unique_ptr<SmallTmpfs> gFullDisk;
std::unique_ptr<TemporaryFolderAt> gTemporaryFolder;

const Refusal kRefusals[] = {
    {"QueueRejectsJobs", [] { Cups().Run("cupsreject", {kQueue}); }, {},
     "The printer PDF did not accept the job: Destination \"PDF\" is not accepting jobs.",
     [] { Cups().Run("cupsaccept", {kQueue}); }},
    {"QueueDeletedWhileTheDialogIsOpen", {}, [](QWidget*) { Cups().Run("lpadmin", {"-x", kQueue}); },
     "The printer PDF did not accept the job: The printer or class does not exist.",
     [] {
         Cups().AddQueue(kQueue);
         Cups().SetDefault(kQueue);
     }},
    // The job is staged in the system's temporary folder, here on a full disk.
    {"TemporaryFolderFull",
     [] {
         gFullDisk = std::make_unique<SmallTmpfs>(256 << 10);
         gFullDisk->Fill();
         gTemporaryFolder = std::make_unique<TemporaryFolderAt>(gFullDisk->Path());
     },
     {}, "",
     [] {
         gTemporaryFolder.reset();
         gFullDisk.reset();
     }},
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class QueueRunRefused : public QueueWindowTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(QueueRunRefused, ShowsTheMessageAndTheNextRunPrints)
{
    const Refusal& refusal = GetParam();
    AddRow("03", QDate(2026, 12, 9), "12");
    SetSheet("2", "5");
    const QStringList jobsBefore = CompletedJobs();
    const QSet<QString> outputBefore = OutputFiles();

    refusal.beforeTheRun ? refusal.beforeTheRun() : void();
    if (gFullDisk && !gFullDisk->Error().isEmpty()) {
        refusal.putRight();
        FAIL() << gFullDisk->Error().toStdString();
    }
    const QString error = PrintToQueue(refusal.inTheDialog);
    if (gFullDisk) {
        // Named after the run's own folder there, made at random.
        EXPECT_TRUE(error.startsWith("Unable to write to " + gFullDisk->Path() + "/")) << error.toStdString();
        EXPECT_TRUE(error.endsWith("/passes.pdf.")) << error.toStdString();
        EXPECT_EQ(QDir(gFullDisk->Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"filler"})
            << "the run's own folder was left behind";
    } else {
        EXPECT_EQ(error, refusal.error);
    }
    refusal.putRight();
    ExpectNoJob(jobsBefore, outputBefore);

    EXPECT_EQ(PrintToQueue(), QString());
    ExpectEveryPass(OnlyNewJob(jobsBefore), 2);
}

INSTANTIATE_TEST_SUITE_P(Causes, QueueRunRefused, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

using QueueSchedulerStopped = QueueWindowTest;

// The scheduler of the test's own goes away while the operator still has the
// dialog open; the scheduler is started afresh for the next run.
TEST_F(QueueSchedulerStopped, WhileTheDialogIsOpenShowsTheMessage)
{
    AddRow("05", QDate(2026, 12, 10), "12");
    SetSheet("2", "5");
    const qint64 pid = Cups().Pid();
    ASSERT_GT(pid, 0);
    const QString error = PrintToQueue([pid](QWidget*) {
        ::kill(pid_t(pid), SIGTERM);
        for (int waitedMs = 0; Cups().IsRunning() && waitedMs < 15000; waitedMs += 50)
            QTest::qWait(50);
    });
    EXPECT_FALSE(Cups().IsRunning());
    // libcups finds no scheduler at its socket.
    EXPECT_EQ(error, "The printer PDF did not accept the job: Host is down.");

    // With no scheduler, Print to File from the same window writes the whole run.
    QTemporaryDir folder;
    ModalScript toFile;
    PrintTo(folder.filePath("run.pdf"), toFile);
    ExpectEveryDialogAnswered(toFile);
    EXPECT_EQ(PdfPageCount(folder.filePath("run.pdf")), 2);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"run.pdf"});

    ASSERT_EQ(Cups().Start(), QString());
    ASSERT_EQ(Cups().AddQueue(kQueue), QString());
    ASSERT_EQ(Cups().SetDefault(kQueue), QString());
    ASSERT_EQ(Cups().UseInThisProcess(), QString());
    EXPECT_EQ(PrintToQueue(), QString());
    ExpectEveryPass(OnlyNewJob({}), 2);
}

}  // namespace
