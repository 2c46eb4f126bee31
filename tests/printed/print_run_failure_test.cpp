// A print run to a file is all or nothing: a run that fails, or a program that
// is stopped by a signal, leaves the operator's file as it was and no file of
// its own.
#include "common/tessary_error.h"
#include "support/tools.h"
#include "output/run_page_layout.h"
#include "output/staged_pdf.h"
#include "passes/valid_on_stamp.h"
#include "run/print_run.h"
#include "support/small_tmpfs.h"
#include "support/twelve_pass_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <csignal>
#include <thread>
#include <unistd.h>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

const QByteArray kEarlierRun = "%PDF-1.4\n% the sheets of an earlier run\n%%EOF\n";

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList Entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Twelve passes of one row on sheets of 2 x 2: three sheets. The barcode file
// lives in a folder of its own, so that the output folder shows only the run's files.
struct FileRun {
    QTemporaryDir dir;
    QString out = dir.filePath("out");
    QString pdf = dir.filePath("out/run.pdf");
    QString bitmap = dir.filePath("bitmap/code128.bmp");
    FixedHeadingStyle style;
    PrintRunRequest request = TwelvePassesOnTwoByTwo(style, bitmap);
    int drawn = 0;

    FileRun()
    {
        QDir().mkpath(out);
        QDir().mkpath(dir.filePath("bitmap"));
        request.passDrawn = [this](const QString&) { ++drawn; };
    }

    PrintRunResult Print() { return PrintToPdfFile(request, pdf); }
};

int PagesOf(const QString& pdf) { return CompletePdfPageCount(ReadAll(pdf)); }

struct InjectedFailure {
    const char* name;
    int failAfterPasses;  // the barcode file's place turns into a folder after this pass
    bool earlierFile;     // the operator's file holds an earlier run
};

class PrintRunFailure : public ::testing::TestWithParam<InjectedFailure> {};

TEST_P(PrintRunFailure, LeavesTheFileAsItWasAndTheNextRunPrintsEveryPass)
{
    const InjectedFailure& failure = GetParam();
    FileRun run;
    if (failure.earlierFile)
        WriteFile(run.pdf, kEarlierRun);
    run.request.passDrawn = [&run, &failure](const QString&) {
        if (++run.drawn == failure.failAfterPasses) {
            QFile::remove(run.bitmap);
            QDir().mkpath(run.bitmap + "/in-the-way");
        }
    };
    try {
        run.Print();
        FAIL() << "the run went on without its barcode file";
    } catch (const TessaryError& error) {
        EXPECT_EQ(QString(error.what()), "Cannot create file " + run.bitmap);
    }
    EXPECT_EQ(run.drawn, failure.failAfterPasses);
    EXPECT_EQ(Entries(run.out), failure.earlierFile ? QStringList{"run.pdf"} : QStringList{});
    if (failure.earlierFile) {
        EXPECT_EQ(ReadAll(run.pdf), kEarlierRun);
    }

    QDir(run.bitmap).removeRecursively();
    run.drawn = 0;
    run.request.passDrawn = [&run](const QString&) { ++run.drawn; };
    const PrintRunResult result = run.Print();
    EXPECT_EQ(result.passesDrawn, 12);
    EXPECT_EQ(PagesOf(run.pdf), 3);
    EXPECT_EQ(Entries(run.out), QStringList{"run.pdf"});
}

INSTANTIATE_TEST_SUITE_P(Runs, PrintRunFailure,
                         ::testing::Values(InjectedFailure{"OnTheFirstSheet", 2, false},
                                           InjectedFailure{"AtTheFirstPassOfTheSecondSheet", 4, true},
                                           InjectedFailure{"OnTheLastSheet", 10, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Qt's PDF writer holds about 16 KB before it writes; on a full disk the first
// write fails some sheets into the run, and the writer then refuses the next page.
TEST(PrintRunOnAFullDisk, StopsAtThePageChangeAndNamesTheOperatorsFile)
{
    SmallTmpfs disk(256 << 10);
    if (!disk.Error().isEmpty())
        GTEST_SKIP() << disk.Error().toStdString();
    ASSERT_TRUE(disk.Fill());
    FileRun run;
    run.pdf = disk.FilePath("run.pdf");
    run.request.settings.cols = 1;
    run.request.settings.rows = 1;
    run.request.rows[0].quantityText = "60";
    try {
        run.Print();
        FAIL() << "a run onto a full disk went through";
    } catch (const TessaryError& error) {
        EXPECT_EQ(QString(error.what()), "Unable to write to " + run.pdf);
    }
    EXPECT_LT(run.drawn, 60) << "the failure was found only at the end";
    EXPECT_EQ(Entries(disk.Path()), QStringList{"filler"});

    disk.Unfill();
    EXPECT_EQ(run.Print().passesDrawn, 60);
    EXPECT_EQ(PagesOf(run.pdf), 60);
}

struct StopSignal {
    const char* name;
    int signalNumber;
};

class PrintRunStoppedBySignal : public ::testing::TestWithParam<StopSignal> {};

// The child process is a fork of the test at the statement, so it prints into
// the same folder that the test looks at afterwards.
TEST_P(PrintRunStoppedBySignal, LeavesTheOperatorsFileAsItWasAndNoFileOfItsOwn)
{
    const int signalNumber = GetParam().signalNumber;
    FileRun run;
    WriteFile(run.pdf, kEarlierRun);
    QTemporaryDir queueTemp;
    struct sigaction before {};
    sigaction(signalNumber, nullptr, &before);
    ASSERT_EQ(before.sa_handler, SIG_DFL);

    run.request.passDrawn = [&run, signalNumber](const QString&) {
        if (++run.drawn == 5)
            raise(signalNumber);
    };
    EXPECT_EXIT(run.Print(), ::testing::KilledBySignal(signalNumber), "");
    EXPECT_EQ(Entries(run.out), QStringList{"run.pdf"});
    EXPECT_EQ(ReadAll(run.pdf), kEarlierRun);

    // A job for a queue is staged in the system's temporary folder.
    qputenv("TMPDIR", QFile::encodeName(queueTemp.path()));
    EXPECT_EXIT(
        {
            StagedPdf staged = StagedPdf::InTemporaryFolder();
            QFile file(staged.path());
            if (file.open(QIODevice::WriteOnly) && file.write("%PDF-1.4\n") > 0 && file.flush())
                raise(signalNumber);
            std::exit(3);
        },
        ::testing::KilledBySignal(signalNumber), "");
    qunsetenv("TMPDIR");
    EXPECT_EQ(Entries(queueTemp.path()), QStringList{});

    // Outside a run the signal is handled as before.
    run.request.passDrawn = {};
    run.Print();
    struct sigaction after {};
    sigaction(signalNumber, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_DFL);
}

INSTANTIATE_TEST_SUITE_P(Signals, PrintRunStoppedBySignal,
                         ::testing::Values(StopSignal{"Term", SIGTERM}, StopSignal{"Interrupt", SIGINT},
                                           StopSignal{"HangUp", SIGHUP}, StopSignal{"User1", SIGUSR1},
                                           StopSignal{"FileSizeLimit", SIGXFSZ}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Someone who may rename entries of the output folder swaps the run's staged
// file for a link to a victim the moment it appears, before a byte is written.
// The run writes through the file it created: the victim never changes, and
// the operator's file is either the run's sheets or, when the swap is seen,
// left alone with an error.
TEST(PrintRunStagedFile, ALinkSwappedInForItNeverReachesAnotherFile)
{
    FileRun run;
    run.request.rows.front().quantityText = "1";
    const QString victim = run.dir.filePath("victim");
    const QByteArray victimBytes = "the victim's own content\n";
    WriteFile(victim, victimBytes);
    int printed = 0;
    int refused = 0;
    int swaps = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        SCOPED_TRACE(attempt);
        const QString planted = run.dir.filePath("planted-link");
        ASSERT_TRUE(QFile::link(victim, planted));
        std::atomic<bool> done{false};
        std::atomic<bool> swapped{false};
        std::thread attacker([&] {
            const QDir out(run.out);
            while (!done && !swapped) {
                for (const QString& name : out.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
                    if (name.startsWith(".tessary.")
                        && ::rename(QFile::encodeName(planted).constData(),
                                    QFile::encodeName(out.filePath(name)).constData()) == 0) {
                        swapped = true;
                        break;
                    }
                }
            }
        });
        try {
            run.Print();
            ++printed;
            EXPECT_FALSE(QFileInfo(run.pdf).isSymLink());
            EXPECT_EQ(PagesOf(run.pdf), 1);
        } catch (const TessaryError& error) {
            ++refused;
            EXPECT_EQ(QString(error.what()), "Unable to write to " + run.pdf);
        }
        done = true;
        attacker.join();
        swaps += swapped ? 1 : 0;
        EXPECT_EQ(ReadAll(victim), victimBytes);
        // Whatever the swap left in the folder is the attacker's; clear it for the next try.
        for (const QString& name : Entries(run.out))
            QFile::remove(QDir(run.out).filePath(name));
        QFile::remove(planted);
    }
    std::cout << "link swaps: " << swaps << " of 100 runs swapped; " << printed << " printed, " << refused
              << " refused" << std::endl;
    EXPECT_EQ(printed + refused, 100);
}

}  // namespace
