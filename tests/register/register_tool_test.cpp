// tessary-register as built: it reads a register its user may only read and
// makes none, withdraws no run that may still be printing, and hands on no
// field a spreadsheet or a terminal would run.
#include "batch/batch_tool.h"
#include "register/pass_register.h"
#include "register/register_test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class RegisterToolTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RegisterLocation location = ParseRegisterLocation(dir.filePath("passes.sqlite"));
    ScopedEnv registerOn{"TESSARY_REGISTER", location.file};
    int day = 0;

    // asUser: the uid the tool runs as, or -1 for the test's own.
    ToolRun Run(const QStringList& arguments, int asUser = -1)
    {
        QProcess tool;
        tool.setChildProcessModifier([asUser] {
            if (asUser >= 0 && (setgid(gid_t(asUser)) != 0 || setuid(uid_t(asUser)) != 0))
                _exit(126);
        });
        tool.start(QStringLiteral(TESSARY_REGISTER_EXE), arguments);
        tool.waitForFinished(60000);
        return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
                QString::fromUtf8(tool.readAllStandardOutput()), QString::fromUtf8(tool.readAllStandardError())};
    }

    // Records one pass of lane 03 on a day of its own, as pending or issued.
    void Record(RunInfo run, bool issued, const QString& output = QStringLiteral("run.pdf"))
    {
        run.output = RunOutput{true, output};
        PassRegister passRegister(location);
        passRegister.Reserve(run, RowPasses("03", QDateTime(QDate(2026, 2, 1), QTime(9, 0)).addDays(++day), 1), {});
        if (issued)
            passRegister.Confirm(run.id, 1);
    }
};

// A run's output name as recorded, its field in the export, and as list shows it.
struct FieldCase { const char *text, *csv, *listed; };

const FieldCase kFields[] = {
    {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\"", "=HYPERLINK(\"http://x\")"},
    {"+1", "\"'+1\"", "+1"}, {"-2+3", "\"'-2+3\"", "-2+3"}, {"@SUM(A1)", "\"'@SUM(A1)\"", "@SUM(A1)"},
    {"\tq", "\"'\tq\"", "\\x09q"}, {"\rq", "\"'\rq\"", "\\x0dq"},
    {"desk\x1b]0;owned\x07", "desk\x1b]0;owned\x07", "desk\\x1b]0;owned\\x07"},
    {"a\x7f\xc2\x9b" "1m", "a\x7f\xc2\x9b" "1m", "a\\x7f\\x9b1m"},
};

TEST_F(RegisterToolTest, ReadsARegisterItsUserMayOnlyReadAndHandsOnNoFieldThatWouldRun)
{
    const ToolRun missing = Run({"list"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err, "tessary-register: The register " + location.file + " cannot be opened: it does not exist\n");
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    for (const FieldCase& c : kFields)
        Record(NewRunInfo("tessary-print"), true, QString::fromUtf8(c.text));
    // Root reads anything: the tool then runs as nobody, in a folder only root may write in.
    const int reader = geteuid() == 0 ? 65534 : -1;
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), reader < 0 ? 0555 : 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(location.file).constData(), 0444), 0);
    const ToolRun listed = Run({"list"}, reader), exported = Run({"export", "--csv", "-"}, reader);
    chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"passes.sqlite"});
    ASSERT_EQ(listed.status | exported.status, 0) << listed.err.toStdString() << exported.err.toStdString();
    EXPECT_EQ(listed.out.count("  issued  valid 2026-02-0"), int(std::size(kFields))) << listed.out.toStdString();
    for (const FieldCase& c : kFields) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(exported.out.contains(",file," + QString::fromUtf8(c.csv) + ",1,1,,,,\r\n")) << exported.out.toStdString();
        EXPECT_TRUE(listed.out.contains(" to PDF " + QString::fromUtf8(c.listed) + '\n')) << listed.out.toStdString();
    }
}

// host: empty for this one; pid: 0 for the test's own, 2^30 (above any pid_max)
// for one that has ended; refusal: the start of standard error, empty if withdrawn.
struct WithdrawCase { const char* host; qint64 pid; int minutesAgo; bool force; const char* refusal; };

const WithdrawCase kWithdrawals[] = {
    {"", 0, 0, true, "run %1 is still printing: its process %2 on this host is running"},
    {"", 1 << 30, 0, false, ""},
    {"desk-2", 0, 0, false, "run %1 of host desk-2 started 0 minutes ago and may still be printing"},
    {"desk-2", 0, 0, true, ""},
    {"desk-2", 0, 16, false, ""},  // past its lease
};

TEST_F(RegisterToolTest, WithdrawsNoRunThatMayStillBePrinting)
{
    for (const WithdrawCase& c : kWithdrawals) {
        RunInfo run = NewRunInfo("tessary-print");
        run.host = *c.host ? QString::fromUtf8(c.host) : run.host;
        run.processId = c.pid ? c.pid : run.processId;
        run.started = run.started.addSecs(-60 * c.minutesAgo);
        Record(run, false);
        QString refusal = QString::fromUtf8(c.refusal).replace("%1", run.id);
        refusal.replace("%2", QString::number(run.processId));
        SCOPED_TRACE(testing::Message() << c.host << " pid " << c.pid << (c.force ? " --force" : ""));
        const ToolRun result = Run({"withdraw-pending", c.force ? "--force" : "--", run.id});
        EXPECT_EQ(result.status, refusal.isEmpty() ? 0 : 4) << result.err.toStdString();
        EXPECT_TRUE(refusal.isEmpty() || result.err.startsWith("tessary-register: " + refusal)) << result.err.toStdString();
        EXPECT_EQ(PassRegister(location).FindRun(run.id).has_value(), !refusal.isEmpty());
    }
}

}  // namespace
