// tessary-register as built: it reads a register its user may only read and
// makes none, withdraws no run that may still be printing, hands on no field
// a spreadsheet or a terminal would run, tells every output it could not
// write whole, and finds only what is shaped as a barcode.
#include "support/batch_tool.h"
#include "register/pass_register.h"
#include "support/register_test_support.h"
#include "support/small_tmpfs.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

class RegisterToolTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RegisterLocation location = ParseRegisterLocation(dir.filePath("passes.sqlite"));
    ScopedEnv registerOn{"TESSARY_REGISTER", location.file};
    int day = 0;

    // asUser: the uid the tool runs as, or -1 for the test's own; stdoutTo: a
    // descriptor its standard output goes to, or -1 for one the test reads.
    ToolRun Run(const QStringList& arguments, int asUser = -1, int stdoutTo = -1)
    {
        QProcess tool;
        tool.setChildProcessModifier([asUser, stdoutTo] {
            // SIGPIPE as a shell leaves it, whatever the test program set.
            signal(SIGPIPE, SIG_DFL);
            if (stdoutTo >= 0 && dup2(stdoutTo, STDOUT_FILENO) < 0)
                _exit(126);
            if (asUser >= 0 && (setgid(gid_t(asUser)) != 0 || setuid(uid_t(asUser)) != 0))
                _exit(126);
        });
        tool.start(QStringLiteral(TESSARY_REGISTER_EXE), arguments);
        tool.waitForFinished(60000);
        return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
                QString::fromUtf8(tool.readAllStandardOutput()), QString::fromUtf8(tool.readAllStandardError())};
    }

    // Records one pass of lane 03, valid on a day of its own unless validOn is
    // given, as pending or issued. Returns its barcode.
    QString Record(RunInfo run, bool issued, const QString& output = QStringLiteral("run.pdf"), QDateTime validOn = {})
    {
        run.output = RunOutput{true, output};
        if (!validOn.isValid())
            validOn = QDateTime(QDate(2026, 2, 1), QTime(9, 0)).addDays(++day);
        const std::vector<RunPass> passes = RowPasses("03", validOn, 1);
        PassRegister passRegister(location);
        passRegister.Reserve(run, passes, {});
        if (issued)
            passRegister.Confirm(run.id, 1);
        return passes.front().barcode;
    }

    // /dev/full, or for root a node of its device in the test's folder: a tool
    // that renamed a file over it replaces the test's node, not the machine's.
    QString FullDevice()
    {
        if (geteuid() != 0)
            return QStringLiteral("/dev/full");
        const QString node = dir.filePath("full");
        struct stat full {};
        if (!QFileInfo::exists(node) && (stat("/dev/full", &full) != 0
                                         || mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, full.st_rdev) != 0))
            ADD_FAILURE() << "no node of /dev/full's device: " << std::strerror(errno);
        return node;
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
        EXPECT_TRUE(exported.out.contains(",file," + QString::fromUtf8(c.csv) + ",1,1,,,,,,\r\n")) << exported.out.toStdString();
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

// Where output goes that cannot be written whole.
enum class Sink { DevFull, ClosedPipe, FullDisk };

// command: the arguments, split at spaces; %b is a barcode recorded, %f the
// file export writes. The sink is %f's when it is given, else standard output's.
struct OutputCase { const char* command; Sink sink; };

const OutputCase kOutputs[] = {
    {"list", Sink::DevFull}, {"list", Sink::ClosedPipe}, {"list --json", Sink::FullDisk},
    {"counts --by lane", Sink::DevFull}, {"counts --json", Sink::ClosedPipe},
    {"find %b", Sink::DevFull}, {"find %b --json", Sink::ClosedPipe},
    {"export --csv -", Sink::DevFull}, {"export --csv -", Sink::ClosedPipe},
    {"export --csv %f", Sink::DevFull}, {"export --csv %f", Sink::FullDisk},
};

TEST_F(RegisterToolTest, TellsEveryOutputItCouldNotWriteWhole)
{
    const QString barcode = Record(NewRunInfo("tessary-print"), true);
    SmallTmpfs disk(64 << 10);
    // The export a full disk must leave as it was, written while there is room.
    const QString kept = disk.FilePath("issued.csv");
    if (disk.Error().isEmpty()) {
        QFile before(kept);
        ASSERT_TRUE(before.open(QIODevice::WriteOnly) && before.write("before\n") == 7 && before.flush());
        ASSERT_TRUE(disk.Fill());
    }
    int skipped = 0;
    for (const OutputCase& c : kOutputs) {
        SCOPED_TRACE(c.command);
        if (c.sink == Sink::FullDisk && !disk.Error().isEmpty()) {
            ++skipped;
            continue;
        }
        const bool toFile = QByteArray(c.command).contains("%f");
        const QString file = c.sink == Sink::DevFull ? FullDevice() : kept;
        QStringList arguments = QString::fromUtf8(c.command).split(' ');
        arguments.replaceInStrings("%b", barcode).replaceInStrings("%f", file);
        int ends[2] = {-1, -1};
        if (!toFile && c.sink == Sink::ClosedPipe) {
            ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0) << std::strerror(errno);
            close(ends[0]);  // the reader gone before the tool writes
        } else if (!toFile) {
            const QString sink = c.sink == Sink::DevFull ? QStringLiteral("/dev/full") : disk.FilePath("out");
            ends[1] = open(QFile::encodeName(sink).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            ASSERT_GE(ends[1], 0) << std::strerror(errno);
        }
        const ToolRun result = Run(arguments, -1, ends[1]);
        if (ends[1] >= 0)
            close(ends[1]);
        const int reason = c.sink == Sink::ClosedPipe ? EPIPE : ENOSPC;
        EXPECT_EQ(result.status, 5) << result.err.toStdString();
        EXPECT_EQ(result.err, "tessary-register: cannot write " + (toFile ? file : QStringLiteral("standard output")) + ": "
                                  + QString::fromLocal8Bit(std::strerror(reason)) + '\n');
        if (toFile && c.sink == Sink::DevFull) {
            EXPECT_FALSE(QFileInfo(file).isFile()) << "a file took the device's place";
        }
        if (toFile && c.sink == Sink::FullDisk) {
            QFile after(kept);
            EXPECT_TRUE(after.open(QIODevice::ReadOnly) && after.readAll() == "before\n");
            EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden).filter("issued.csv"), QStringList{"issued.csv"});
        }
    }
    if (skipped > 0)
        GTEST_SKIP() << skipped << " cases need a full disk: " << disk.Error().toStdString();
}

// An export goes where the programs' own outputs may go: as root, through
// another user's link to a file of root's or to a device, nothing is written.
TEST_F(RegisterToolTest, AnExportFollowsNoLinkOfAnotherUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give a link to another user";
    Record(NewRunInfo("tessary-print"), true);
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim.conf");
    QFile planted(victim);
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly) && planted.write("root's own\n") == 11);
    planted.close();
    for (const QString& target : {victim, FullDevice()}) {
        SCOPED_TRACE(target.toStdString());
        const QString link = dir.filePath("export.csv");
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(target, link));
        ASSERT_EQ(lchown(QFile::encodeName(link).constData(), 65534, 65534), 0);
        const ToolRun result = Run({"export", "--csv", link});
        EXPECT_EQ(result.status, 5);
        EXPECT_EQ(result.err, "tessary-register: cannot write " + link + ": it is a link of another user\n");
    }
    QFile after(victim);
    EXPECT_TRUE(after.open(QIODevice::ReadOnly) && after.readAll() == "root's own\n");
}

// find's argument: %b a barcode of 2026, %m one of 1999, whose pass number
// holds a minus, or any other text; and whether find takes it for a barcode.
struct BarcodeCase { const char* text; bool barcode; };

const BarcodeCase kBarcodes[] = {
    {"%b", true}, {"%m", true}, {"", false}, {"abc", false}, {"%b ", false}, {" %b", false}, {"0%b", false},
    {"251408000", false}, {"25140800AB", false}, {"25140-8003", false}, {"\x1b]0;x\x07", false},
};

TEST_F(RegisterToolTest, FindsOnlyWhatIsShapedAsABarcode)
{
    const QString recent = Record(NewRunInfo("tessary-print"), true);
    const QString minus = Record(NewRunInfo("tessary-print"), true, "run.pdf", QDateTime(QDate(1999, 5, 14), QTime(12, 26, 35)));
    ASSERT_TRUE(minus.contains('-')) << minus.toStdString();
    for (const BarcodeCase& c : kBarcodes) {
        const QString text = QString::fromUtf8(c.text).replace("%b", recent).replace("%m", minus);
        SCOPED_TRACE(text.toStdString());
        const ToolRun result = Run({"find", "--", text});
        EXPECT_EQ(result.status, c.barcode ? 0 : 2) << result.err.toStdString();
        // Never the listing of every pass that an empty or stray argument once gave.
        EXPECT_EQ(result.out.startsWith(text + ": pass "), c.barcode) << result.out.toStdString();
        EXPECT_EQ(result.out.count(": pass "), c.barcode ? 1 : 0);
        EXPECT_TRUE(c.barcode || (result.err.startsWith("tessary-register: \"") && result.err.endsWith("--help)\n")));
        EXPECT_FALSE(result.err.contains('\x1b')) << "a control character reached the terminal";
    }
}

}  // namespace
