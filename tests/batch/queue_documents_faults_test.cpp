// tessary-print --jobs 2 to a queue with a run long enough to be drawn as
// documents at once, and a fault once the third document is being drawn: the run says it
// failed or was stopped, the queue gets no job, the register holds nothing of
// the run, and nothing of it is left in the temporary folder.
#include "support/batch_tool.h"
#include "register/pass_register.h"
#include "register/register_location.h"
#include "support/shared_scheduler.h"
#include "support/small_tmpfs.h"
#include "support/tools.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

const QString kQueue = QStringLiteral("Passes");

// The documents' folder of the run under the temporary folder holds its third document: two workers began the first two at once.
bool ThirdDocumentBegun(const QString& temporary)
{
    QDirIterator files(temporary, {"document-3.pdf"}, QDir::Files, QDirIterator::Subdirectories);
    return files.hasNext();
}

bool HoldsFiles(const QString& temporary)
{
    QDirIterator files(temporary, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString name = QFileInfo(files.next()).fileName();
        if (name != "filler" && !files.filePath().contains("/runtime-"))
            return true;
    }
    return false;
}

struct DocumentsFault {
    const char* name;
    std::function<void(QProcess& tool, SmallTmpfs& temporary)> fault;
    int status;
    QString errorStart;  // what the tool says first; "" for nothing
};

void PrintTo(const DocumentsFault& fault, std::ostream* out) { *out << fault.name; }

void StopScheduler(QProcess&, SmallTmpfs&) { ::kill(pid_t(SharedScheduler::Get().Pid()), SIGSTOP); }

const DocumentsFault kFaults[] = {
    {"TemporaryFolderFull", [](QProcess&, SmallTmpfs& temporary) { temporary.Fill(); }, 3, "Unable to write to "},
    {"Terminated", [](QProcess& tool, SmallTmpfs&) { tool.terminate(); }, 128 + SIGTERM, ""},
    {"SchedulerStopped", StopScheduler, 3, "The print server "},
};

class QueueDocumentsFault : public ::testing::TestWithParam<DocumentsFault> {};

TEST_P(QueueDocumentsFault, SendsNoJobAndLeavesNothingOfTheRun)
{
    const DocumentsFault& fault = GetParam();
    SKIP_OR_ASSERT_SHARED_SCHEDULER();
    PrivateCupsScheduler& scheduler = SharedScheduler::Get();
    ASSERT_EQ(Text(SharedScheduler::Queue(kQueue)), "");
    QTemporaryDir inputs;
    WriteLabelFile(inputs.filePath("2x2.lbl"), 2, 2);
    QByteArray rows;  // 8 rows of 99 on sheets of 2 x 2: 198 sheets, four documents
    for (const char* lane : {"01", "02", "03", "04", "05", "06", "07", "09"})
        rows += QByteArray(lane) + ",2026-03-04,08:00:00,99\n";
    WriteFile(inputs.filePath("rows.csv"), rows);
    SmallTmpfs temporary(64 << 20);
    ASSERT_EQ(Text(temporary.Error()), "");
    const QString registerFile = inputs.filePath("passes.sqlite");
    const QStringList before = scheduler.CompletedJobs(kQueue);

    QProcessEnvironment environment = scheduler.Env();
    environment.insert("TMPDIR", temporary.Path());
    environment.insert("TESSARY_REGISTER", registerFile);
    environment.insert("TESSARY_PRINT_SERVER_TIMEOUT", "2");
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.start(TESSARY_PRINT_EXE, {"--label", inputs.filePath("2x2.lbl"), "--rows", inputs.filePath("rows.csv"),
                                   "--printer", kQueue, "--quiet", "--jobs", "2"});
    ASSERT_TRUE(tool.waitForStarted());
    const bool begun = QTest::qWaitFor([&temporary] { return ThirdDocumentBegun(temporary.Path()); }, 60000);
    if (begun)
        fault.fault(tool, temporary);
    const bool ended = tool.waitForFinished(120000);
    ::kill(pid_t(scheduler.Pid()), SIGCONT);
    ASSERT_TRUE(begun) << "the run was never drawn as documents";
    ASSERT_TRUE(ended);

    EXPECT_EQ(tool.exitCode(), fault.status);
    const QString said = QString::fromUtf8(tool.readAllStandardError());
    if (fault.errorStart.isEmpty())
        EXPECT_EQ(Text(said), "");
    else
        EXPECT_TRUE(said.startsWith("tessary-print: " + fault.errorStart)) << Text(said);
    EXPECT_TRUE(scheduler.WaitUntilQueueEmpty(kQueue, 60000));
    EXPECT_EQ(scheduler.CompletedJobs(kQueue), before);
    EXPECT_FALSE(HoldsFiles(temporary.Path()));
    temporary.Unfill();
    PassRegister passRegister(ParseRegisterLocation(registerFile), RegisterAccess::ReadOnly);
    EXPECT_TRUE(passRegister.Records({}).empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, QueueDocumentsFault, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
