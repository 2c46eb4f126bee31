// tessary-register as built: it reads a register its user may only read and
// makes none, withdraws no run that may still be printing, and hands on no
// field a spreadsheet or a terminal would run.
#include "register/pass_register.h"
#include "register/register_test_support.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ToolResult {
    int status;
    QString out, err;
};

// asUser: the uid the tool runs as, or -1 for the test's own.
ToolResult RunTool(const QString& file, const QStringList& arguments, int asUser = -1)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TESSARY_REGISTER"), file);
    tool.setProcessEnvironment(environment);
    if (asUser >= 0)
        tool.setChildProcessModifier([asUser] {
            if (setgid(gid_t(asUser)) != 0 || setuid(uid_t(asUser)) != 0)
                _exit(126);
        });
    tool.start(QStringLiteral(TESSARY_REGISTER_EXE), arguments);
    tool.waitForFinished(60000);
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromUtf8(tool.readAllStandardOutput()), QString::fromUtf8(tool.readAllStandardError())};
}

class RegisterToolTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RegisterLocation location = ParseRegisterLocation(dir.filePath("passes.sqlite"));

    // Records passes of lane 03 on a day of their own, as pending or issued.
    void Record(RunInfo run, int passes, bool issued)
    {
        if (run.output.name.isEmpty())
            run.output = RunOutput{true, dir.filePath("run.pdf")};
        PassRegister passRegister(location);
        passRegister.Reserve(run, RowPasses("03", QDateTime(QDate(2026, 2, 1), QTime(9, 0)).addDays(++day), passes), {});
        if (issued)
            passRegister.Confirm(run.id, passes);
    }
    int day = 0;
};

TEST_F(RegisterToolTest, ListsARegisterItsUserMayOnlyRead)
{
    const ToolResult missing = RunTool(location.file, {"list"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err, "tessary-register: The register " + location.file + " cannot be opened: it does not exist\n");
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    Record(NewRunInfo("tessary-print"), 4, true);
    // Root reads anything: the tool then runs as nobody, in a folder only root may write in.
    const bool root = geteuid() == 0;
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), root ? 0755 : 0555), 0);
    ASSERT_EQ(chmod(QFile::encodeName(location.file).constData(), 0444), 0);
    const ToolResult listed = RunTool(location.file, {"list"}, root ? 65534 : -1);
    chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out.count("  issued  valid 2026-02-02 09:00:00"), 4) << listed.out.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"passes.sqlite"});
}

struct WithdrawCase {
    const char* what;
    const char* host;   // empty: this host
    qint64 pid;         // -1: this test's own, 0: a process that has ended
    int minutesAgo;
    bool force;
    const char* refusal;  // the start of standard error; empty: withdrawn
};

const WithdrawCase kWithdrawals[] = {
    {"a run whose process runs, forced", "", -1, 0, true,
     "run %1 is still printing: its process %2 on this host is running"},
    {"a run whose process ended", "", 0, 0, false, ""},
    {"a run of another host just started", "desk-2", -1, 0, false,
     "run %1 of host desk-2 started 0 minutes ago and may still be printing"},
    {"the same, forced", "desk-2", -1, 0, true, ""},
    {"a run of another host past its lease", "desk-2", -1, 16, false, ""},
};

TEST_F(RegisterToolTest, WithdrawsNoRunThatMayStillBePrinting)
{
    for (const WithdrawCase& c : kWithdrawals) {
        SCOPED_TRACE(c.what);
        RunInfo run = NewRunInfo("tessary-print");
        if (c.pid == 0) {
            QProcess ended;
            ended.start(QStringLiteral("true"));
            ASSERT_TRUE(ended.waitForStarted());
            run.processId = ended.processId();
            ASSERT_TRUE(ended.waitForFinished());
        }
        if (*c.host)
            run.host = QString::fromUtf8(c.host);
        run.started = run.started.addSecs(-60 * c.minutesAgo);
        Record(run, 4, false);
        const ToolResult result = RunTool(location.file, c.force ? QStringList{"withdraw-pending", "--force", run.id}
                                                                 : QStringList{"withdraw-pending", run.id});
        const bool refused = *c.refusal;
        EXPECT_EQ(result.status, refused ? 4 : 0) << result.err.toStdString();
        EXPECT_TRUE(result.err.startsWith(refused ? "tessary-register: " + QString::fromUtf8(c.refusal)
                                                        .replace("%1", run.id).replace("%2", QString::number(run.processId))
                                                  : QString()))
            << result.err.toStdString();
        EXPECT_EQ(PassRegister(location).FindRun(run.id).has_value(), refused);
    }
}

struct FieldCase {
    const char* text;    // a run's output name as recorded
    const char* csv;     // its field in the export
    const char* listed;  // as list shows it
};

const FieldCase kFields[] = {
    {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\"", "=HYPERLINK(\"http://x\")"},
    {"+1", "\"'+1\"", "+1"},
    {"-2+3", "\"'-2+3\"", "-2+3"},
    {"@SUM(A1)", "\"'@SUM(A1)\"", "@SUM(A1)"},
    {"\tq", "\"'\tq\"", "\\x09q"},
    {"\rq", "\"'\rq\"", "\\x0dq"},
    {"desk\x1b]0;owned\x07", "desk\x1b]0;owned\x07", "desk\\x1b]0;owned\\x07"},
    {"a\x7f\xc2\x9b" "1m", "a\x7f\xc2\x9b" "1m", "a\\x7f\\x9b1m"},
};

TEST_F(RegisterToolTest, ExportsNoFormulaAndListsNoTerminalControl)
{
    for (const FieldCase& c : kFields) {
        RunInfo run = NewRunInfo("tessary-print");
        run.output = RunOutput{true, QString::fromUtf8(c.text)};
        Record(run, 1, true);
    }
    const ToolResult exported = RunTool(location.file, {"export", "--csv", "-"});
    const ToolResult listed = RunTool(location.file, {"list"});
    ASSERT_EQ(exported.status + listed.status, 0) << exported.err.toStdString() << listed.err.toStdString();
    EXPECT_EQ(listed.out.count('\n'), int(std::size(kFields)));
    for (const FieldCase& c : kFields) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(exported.out.contains(",file," + QString::fromUtf8(c.csv) + ",1,1\r\n")) << exported.out.toStdString();
        EXPECT_TRUE(listed.out.contains(" to PDF " + QString::fromUtf8(c.listed) + '\n')) << listed.out.toStdString();
    }
}

}  // namespace
