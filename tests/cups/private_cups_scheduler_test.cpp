// The private scheduler every printing test relies on: it must be invisible to
// other schedulers, give back what the tests configure in it, and not outlive
// the test that started it.
#include "support/private_cups_scheduler.h"
#include "support/shared_scheduler.h"
#include "support/tools.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <functional>

namespace {

const QString kCupsPdfPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");

class PrivateCups : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString missing = PrivateCupsScheduler::MissingPrerequisite();
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
    }

    static void Start(PrivateCupsScheduler& scheduler, const QString& queue, const QString& ppd = QString())
    {
        ASSERT_EQ(scheduler.Start(), QString());
        ASSERT_EQ(scheduler.AddQueue(queue, ppd), QString());
        ASSERT_EQ(scheduler.SetDefault(queue), QString());
    }
};

// A process that is gone or only waits to be reaped.
bool ProcessEnded(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray fields = stat.readAll();
    return fields.mid(fields.lastIndexOf(')') + 2, 1) == "Z";
}

bool WaitForEnd(qint64 pid, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!ProcessEnded(pid) && !deadline.hasExpired())
        QThread::msleep(100);
    return ProcessEnded(pid);
}

TEST_F(PrivateCups, TwoSchedulersSeeOnlyTheirOwnQueues)
{
    PrivateCupsScheduler first;
    PrivateCupsScheduler second;
    Start(first, QStringLiteral("OnlyInFirst"));
    Start(second, QStringLiteral("OnlyInSecond"));
    ASSERT_NE(first.SocketPath(), second.SocketPath());

    const QString firstQueues = first.Run(QStringLiteral("lpstat"), {QStringLiteral("-v")});
    const QString secondQueues = second.Run(QStringLiteral("lpstat"), {QStringLiteral("-v")});
    EXPECT_TRUE(firstQueues.contains(QLatin1String("OnlyInFirst"))) << firstQueues.toStdString();
    EXPECT_FALSE(firstQueues.contains(QLatin1String("OnlyInSecond"))) << firstQueues.toStdString();
    EXPECT_TRUE(secondQueues.contains(QLatin1String("OnlyInSecond"))) << secondQueues.toStdString();
    EXPECT_FALSE(secondQueues.contains(QLatin1String("OnlyInFirst"))) << secondQueues.toStdString();
    EXPECT_EQ(first.Run(QStringLiteral("lpstat"), {QStringLiteral("-d")}),
              QStringLiteral("system default destination: OnlyInFirst\n"));

    // A scheduler of the machine's own, when one runs, is not given them.
    const QString machine = RunTool(QStringLiteral("lpstat"), {QStringLiteral("-v")});
    EXPECT_FALSE(machine.contains(QLatin1String("OnlyInFirst"))) << machine.toStdString();
}

TEST_F(PrivateCups, StopEndsCupsdAndGivesTheEnvironmentBack)
{
    const QByteArray serverBefore = qgetenv("CUPS_SERVER");
    const QByteArray homeBefore = qgetenv("HOME");
    PrivateCupsScheduler scheduler;
    Start(scheduler, QStringLiteral("Stopped"));
    ASSERT_EQ(scheduler.UseInThisProcess(), QString());
    EXPECT_EQ(qEnvironmentVariable("CUPS_SERVER"), scheduler.SocketPath());
    EXPECT_EQ(QPrinterInfo::defaultPrinterName(), QStringLiteral("Stopped"));
    const qint64 pid = scheduler.Pid();
    ASSERT_GT(pid, 0);

    scheduler.Stop();
    EXPECT_TRUE(WaitForEnd(pid, 1000));
    EXPECT_FALSE(scheduler.IsRunning());
    EXPECT_EQ(qgetenv("CUPS_SERVER"), serverBefore);
    EXPECT_EQ(qgetenv("HOME"), homeBefore);
}

// Stands in for a test that dies: started by OwnerKilledWithoutCleanUp below.
TEST(PrivateCupsOwner, DISABLED_StartsAndWaitsToBeKilled)
{
    const QString report = qEnvironmentVariable("TESSARY_PRIVATE_CUPS_REPORT");
    if (report.isEmpty())
        GTEST_SKIP() << "only run by OwnerKilledWithoutCleanUp";
    PrivateCupsScheduler scheduler;
    ASSERT_EQ(scheduler.Start(), QString());
    QFile file(report + QStringLiteral(".part"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("%1 %2").arg(scheduler.Pid()).arg(scheduler.Folder()).toLocal8Bit());
    file.close();
    file.rename(report);
    pause();  // until the test that started this process kills it
}

struct KilledOwner {
    const char* name;
    // Starts a process that starts a scheduler and writes "<cupsd pid> <folder>"
    // to the report file.
    std::function<void(QProcess&, const QString& report, const QString& folder)> start;
};

class PrivateCupsKilledOwner : public PrivateCups, public ::testing::WithParamInterface<KilledOwner> {};

TEST_P(PrivateCupsKilledOwner, LeavesNoCupsdBehind)
{
    QTemporaryDir work;
    const QString report = work.filePath(QStringLiteral("report"));
    QProcess owner;
    owner.setProcessChannelMode(QProcess::MergedChannels);
    GetParam().start(owner, report, work.filePath(QStringLiteral("cups")));
    ASSERT_TRUE(owner.waitForStarted(10000));

    QDeadlineTimer deadline(30000);
    while (!QFileInfo::exists(report) && !owner.waitForFinished(100) && !deadline.hasExpired()) {
    }
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << owner.readAll().toStdString();
    const QStringList fields = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char(' '));
    ASSERT_EQ(fields.size(), 2);
    const qint64 cupsd = fields[0].toLongLong();
    ASSERT_GT(cupsd, 0);
    ASSERT_FALSE(ProcessEnded(cupsd));

    ::kill(pid_t(owner.processId()), SIGKILL);
    owner.waitForFinished(5000);
    const bool ended = WaitForEnd(cupsd, 10000);
    if (!ended)
        RunTool(QStringLiteral("bash"), {PrivateCupsScheduler::ScriptPath(), QStringLiteral("stop"), fields[1]});
    EXPECT_TRUE(ended) << "cupsd " << cupsd << " outlived its owner";
    QDir(fields[1]).removeRecursively();
}

INSTANTIATE_TEST_SUITE_P(
    Owners, PrivateCupsKilledOwner,
    ::testing::Values(
        KilledOwner{"TestProgram",
                    [](QProcess& owner, const QString& report, const QString&) {
                        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                        env.insert(QStringLiteral("TESSARY_PRIVATE_CUPS_REPORT"), report);
                        owner.setProcessEnvironment(env);
                        owner.start(QCoreApplication::applicationFilePath(),
                                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                                     QStringLiteral("--gtest_filter=PrivateCupsOwner.*")});
                    }},
        KilledOwner{"ShellScriptWatchingItself",
                    [](QProcess& owner, const QString& report, const QString& folder) {
                        owner.start(QStringLiteral("bash"),
                                    {QStringLiteral("-c"),
                                     QStringLiteral("pid=$(bash \"$0\" start \"$1\" --watch $$) && "
                                                    "echo -n \"$pid $1\" >\"$2\" && read -r _"),
                                     PrivateCupsScheduler::ScriptPath(), folder, report});
                    }}),
    [](const ::testing::TestParamInfo<KilledOwner>& info) { return std::string(info.param.name); });

struct AdminStep {
    const char* name;
    QStringList commandsBeforeJob;  // each "tool" run with the queue's name
    bool jobAccepted;
    bool jobPrinted;
};

class PrivateCupsQueueControl : public PrivateCups, public ::testing::WithParamInterface<AdminStep> {};

// The steps other tests take on a queue (rejecting, stopping) work on the
// private scheduler without the machine's admin rights.
TEST_P(PrivateCupsQueueControl, JobFollowsTheQueueState)
{
    const AdminStep& step = GetParam();
    // A queue of the step's own on the scheduler the program's tests share.
    const QString queue = QStringLiteral("Controlled") + QLatin1String(step.name);
    SKIP_OR_ASSERT_SHARED_SCHEDULER();
    PrivateCupsScheduler& scheduler = SharedScheduler::Get();
    ASSERT_EQ(SharedScheduler::Queue(queue).toStdString(), "");
    for (const QString& tool : step.commandsBeforeJob) {
        int code = -1;
        const QString out = scheduler.Run(tool, {queue}, &code);
        ASSERT_EQ(code, 0) << tool.toStdString() << ": " << out.toStdString();
    }
    QTemporaryDir work;
    const QString document = work.filePath(QStringLiteral("page.txt"));
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("one page\n");
    file.close();

    int code = -1;
    const QString out = scheduler.Run(QStringLiteral("lp"), {QStringLiteral("-d"), queue, document}, &code);
    EXPECT_EQ(code == 0, step.jobAccepted) << out.toStdString();
    if (!step.jobAccepted) {
        EXPECT_TRUE(out.contains(QLatin1String("not accepting jobs"))) << out.toStdString();
        return;
    }
    const QString job = out.section(QLatin1Char(' '), 3, 3);
    ASSERT_TRUE(job.startsWith(queue + QLatin1Char('-'))) << out.toStdString();
    if (step.jobPrinted) {
        const QString pdf = scheduler.WaitForJobOutput(job, 30000);
        ASSERT_FALSE(pdf.isEmpty());
        EXPECT_TRUE(pdf.startsWith(scheduler.OutputDir(queue)));
        // The text itself does not survive ghostscript's font handling in a
        // form pdftotext reads; the title and page count do.
        const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
        EXPECT_TRUE(info.contains(QLatin1String("page.txt"))) << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();
        EXPECT_EQ(scheduler.CompletedJobs(queue), QStringList{job});
        const QString attributes = scheduler.Run(
            QStringLiteral("ipptool"),
            {QStringLiteral("-tv"), scheduler.IppUri(QStringLiteral("jobs/") + job.section(QLatin1Char('-'), -1)),
             QStringLiteral("get-job-attributes.test")});
        EXPECT_TRUE(attributes.contains(QLatin1String("job-state (enum) = completed"))) << attributes.toStdString();
    } else {
        // The job is on the queue once lp has returned.
        EXPECT_EQ(scheduler.PendingJobs(queue), QStringList{job});
        EXPECT_TRUE(scheduler.OutputFiles(queue).isEmpty());
        EXPECT_FALSE(scheduler.WaitUntilQueueEmpty(queue, 500));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PrivateCupsQueueControl,
    ::testing::Values(AdminStep{"Untouched", {}, true, true},
                      AdminStep{"Rejecting", {QStringLiteral("cupsreject")}, false, false},
                      AdminStep{"RejectedThenAccepting", {QStringLiteral("cupsreject"), QStringLiteral("cupsaccept")}, true, true},
                      AdminStep{"Stopped", {QStringLiteral("cupsdisable")}, true, false}),
    [](const ::testing::TestParamInfo<AdminStep>& info) { return std::string(info.param.name); });

struct PpdMargins {
    const char* name;
    // Lines of cups-pdf's PPD replaced: {original, replacement}.
    std::vector<std::pair<const char*, const char*>> edits;
    QPageSize::PageSizeId pageSize;
    QMarginsF minimumMarginsPoints;  // left, top, right, bottom
};

class PrivateCupsQueuePpd : public PrivateCups, public ::testing::WithParamInterface<PpdMargins> {};

// A queue's own PPD reaches the program unchanged, unprintable margins and all.
TEST_P(PrivateCupsQueuePpd, PrinterReportsItsMargins)
{
    const PpdMargins& row = GetParam();
    QTemporaryDir work;
    QString ppdPath;
    if (!row.edits.empty()) {
        QFile original(kCupsPdfPpd);
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        QByteArray text = original.readAll();
        for (const auto& [from, to] : row.edits) {
            ASSERT_TRUE(text.contains(from)) << from;
            text.replace(from, to);
        }
        ppdPath = work.filePath(QStringLiteral("margins.ppd"));
        QFile edited(ppdPath);
        ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
        edited.write(text);
    }
    // A queue of the row's own on the scheduler the program's tests share.
    const QString queue = QStringLiteral("Margins") + QLatin1String(row.name);
    SKIP_OR_ASSERT_SHARED_SCHEDULER();
    ASSERT_EQ(SharedScheduler::Queue(queue, ppdPath).toStdString(), "");
    ASSERT_EQ(SharedScheduler::UseInThisProcess().toStdString(), "");

    const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
    EXPECT_EQ(info.defaultPageSize().id(), row.pageSize);
    QPrinter printer(info);
    ASSERT_EQ(printer.printerName(), queue);
    ASSERT_TRUE(printer.setPageSize(QPageSize(row.pageSize)));
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Point);
    const QMarginsF margins = layout.minimumMargins();
    EXPECT_NEAR(margins.left(), row.minimumMarginsPoints.left(), 0.5);
    EXPECT_NEAR(margins.top(), row.minimumMarginsPoints.top(), 0.5);
    EXPECT_NEAR(margins.right(), row.minimumMarginsPoints.right(), 0.5);
    EXPECT_NEAR(margins.bottom(), row.minimumMarginsPoints.bottom(), 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Ppds, PrivateCupsQueuePpd,
    ::testing::Values(
        PpdMargins{"CupsPdfOwn", {}, QPageSize::A4, QMarginsF(0, 0, 0, 0)},
        PpdMargins{"LetterQuarterInch",
                   {{"*DefaultPageSize: A4", "*DefaultPageSize: Letter"},
                    {"*DefaultPageRegion: A4", "*DefaultPageRegion: Letter"},
                    {"*DefaultImageableArea: A4", "*DefaultImageableArea: Letter"},
                    {"*ImageableArea Letter/US Letter: \"0 0 612 792\"",
                     "*ImageableArea Letter/US Letter: \"18 18 594 774\""},
                    // Same size as Letter: Qt may take either for QPageSize::Letter.
                    {"*ImageableArea AnsiA/ANSI A: \"0 0 612 792\"",
                     "*ImageableArea AnsiA/ANSI A: \"18 18 594 774\""}},
                   QPageSize::Letter,
                   QMarginsF(18, 18, 18, 18)},
        PpdMargins{"A4Uneven",
                   {{"*ImageableArea A4/A4: \"0 0 595 842\"", "*ImageableArea A4/A4: \"36 72 559 770\""}},
                   QPageSize::A4,
                   QMarginsF(36, 72, 36, 72)}),
    [](const ::testing::TestParamInfo<PpdMargins>& info) { return std::string(info.param.name); });

}  // namespace
