// tessary-print as a script sees it: the exit status, the message on standard
// error, and what is left at the output path.
#include "support/printed_pdf.h"
#include "support/batch_tool.h"
#include "labelfile/label_file.h"
#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

// Placeholders: %LABEL% a 2 x 2 label file, %FLAT% one with no rows of passes,
// %BARE% one whose headings have a size below zero,
// %CSV% a rows file with a bad third line, %DIR% the case's output folder,
// %PDF% = %DIR%/out.pdf, which holds an earlier file before every failing case.
struct ExitCase {
    const char* name;
    QStringList arguments;
    int status;
    const char* err;  // standard error in full
    int pages;        // pages of the PDF written; 0: the earlier file is left as it was
    // Optional: more in the output folder before the run, the environment
    // changed, something done while the tool runs, and more that must hold after.
    std::function<void(const QDir& dir)> prepare = {};
    const char* variable = nullptr;  // "NAME": unset; "NAME=value": set
    std::function<void(QProcess& tool, const QDir& dir)> during = {};
    std::function<void(const QDir& dir)> check = {};
    QStringList entries = {"out.pdf"};  // what the output folder holds afterwards
};

struct stat StatOf(const QString& path)
{
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

// Another user's file (nobody's, when the test runs as root), which the run must not replace.
constexpr uid_t kNobody = 65534;
const QByteArray kEarlierPdf = "%PDF-1.4 an earlier run's file\n";

std::function<void(const QDir&)> OthersFile(mode_t mode)
{
    return [mode](const QDir& dir) {
        WriteFile(dir.filePath("out.pdf"), kEarlierPdf, mode);
        if (geteuid() == 0) {
            ASSERT_EQ(::chown(QFile::encodeName(dir.filePath("out.pdf")).constData(), kNobody, kNobody), 0);
        }
    };
}
std::function<void(const QDir&)> KeptOwnerAndMode(mode_t mode)
{
    return [mode](const QDir& dir) {
        const struct stat info = StatOf(dir.filePath("out.pdf"));
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_EQ(info.st_uid, geteuid() == 0 ? kNobody : geteuid());
        EXPECT_EQ(info.st_gid, geteuid() == 0 ? kNobody : getegid());
    };
}

// Feeds one row into the FIFO once the tool reads it, keeps it open, and stops the tool.
void FeedThenTerminate(QProcess& tool, const QDir& dir)
{
    int fd = -1;
    const QByteArray fifo = QFile::encodeName(dir.filePath("rows.fifo"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return (fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK)) >= 0; }, 20000));
    ASSERT_EQ(::write(fd, "03,2026-03-04,4\n", 16), 16);
    tool.terminate();
    EXPECT_TRUE(tool.waitForFinished(20000));
    ::close(fd);
}

const QString kRow = QStringLiteral("03,2026-03-04,4");

const ExitCase kExitCases[] = {
    {"one sheet", {"--label", "%LABEL%", "--row", kRow, "--at", "08:00:00", "--pdf", "%PDF%"}, 0, "", 1},
    // Progress is for a terminal; a script's standard error gets messages alone.
    {"no progress off a terminal", {"--label", "%LABEL%", "--row", "03,2026-03-04,10", "--pdf", "%PDF%"}, 0, "", 3},
    {"range", {"--label", "%LABEL%", "--row", "03,2026-03-04,10", "--pages", "2-7", "-q", "--pdf", "%PDF%"}, 0, "", 2},
    {"start cell", {"--label", "%LABEL%", "--row", kRow, "--start-cell", "4", "--quiet", "--pdf", "%PDF%"}, 0, "", 2},
    {"duplicates allowed", {"--label", "%LABEL%", "--row", kRow, "--row", kRow, "--at", "08:00:00",
                            "--allow-duplicates", "--quiet", "--pdf", "%PDF%"}, 0, "", 2},

    {"unusable layout", {"--label", "%FLAT%", "--row", kRow, "--pdf", "%PDF%"}, 1,
     "tessary-print: Invalid value, fix and retry...\n", 0},
    // Passes with no heading line at all would go out without a word.
    {"headings sized below zero", {"--label", "%BARE%", "--row", kRow, "--pdf", "%PDF%"}, 1,
     "tessary-print: Invalid value, fix and retry...\n", 0},
    {"dated 1979", {"--label", "%LABEL%", "--row", "03,1979-12-31,4", "--pdf", "%PDF%"}, 1,
     "tessary-print: row \"03,1979-12-31,4\": Invalid argument to date encode\n", 0},
    {"dated 2108", {"--label", "%LABEL%", "--row", kRow, "--row", "03,2108-01-01T08:00:00,4", "--pdf", "%PDF%"}, 1,
     "tessary-print: row \"03,2108-01-01T08:00:00,4\": Invalid argument to date encode\n", 0},
    {"shared barcodes", {"--label", "%LABEL%", "--row", kRow, "--row", "03,2026-03-04T08:00:02,4", "--at",
                         "08:00:00", "--pdf", "%PDF%"}, 1,
     "tessary-print: 2 passes of this run would carry the same barcode as another pass (rows 1 and 2, lane 03); "
     "--allow-duplicates prints them anyway\n", 0},
    {"range beyond the last sheet", {"--label", "%LABEL%", "--row", "03,2026-03-04,10", "--pages", "4-5", "--pdf",
                                     "%PDF%"}, 1,
     "tessary-print: Nothing to print: the page range holds no sheet of this run.\n", 0},
    {"quantity 0", {"--label", "%LABEL%", "--row", "03,2026-03-04,0", "--pdf", "%PDF%"}, 1,
     "tessary-print: row \"03,2026-03-04,0\": Quantity must be 1 to 99\n", 0},
    {"quantity 100", {"--label", "%LABEL%", "--row", "03,2026-03-04,100", "--pdf", "%PDF%"}, 1,
     "tessary-print: row \"03,2026-03-04,100\": Quantity must be 1 to 99\n", 0},
    {"quantity beyond int", {"--label", "%LABEL%", "--row", "03,2026-03-04,2147483647", "--pdf", "%PDF%"}, 1,
     "tessary-print: row \"03,2026-03-04,2147483647\": Quantity must be 1 to 99\n", 0},
    // No row at all is a layout with nothing to lay out, as in the window.
    {"empty CSV", {"--label", "%LABEL%", "--rows", "%DIR%/empty.csv", "--pdf", "%PDF%"}, 1,
     "tessary-print: Invalid value, fix and retry...\n", 0,
     [](const QDir& dir) { WriteFile(dir.filePath("empty.csv"), "Lane,Date,Quantity\n"); }, nullptr, {}, {},
     {"empty.csv", "out.pdf"}},
    {"label file a FIFO", {"--label", "%DIR%/label.fifo", "--row", kRow, "--pdf", "%PDF%"}, 2,
     "tessary-print: Unable to read %DIR%/label.fifo: it is a FIFO, not a file\n", 0,
     [](const QDir& dir) { ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("label.fifo")).constData(), 0600), 0); },
     nullptr, {}, {}, {"label.fifo", "out.pdf"}},
    {"label file a device", {"--label", "/dev/null", "--row", kRow, "--pdf", "%PDF%"}, 2,
     "tessary-print: Unable to read /dev/null: it is a device, not a file\n", 0},
    {"rows from a device", {"--label", "%LABEL%", "--rows", "/dev/zero", "--pdf", "%PDF%"}, 1,
     "tessary-print: /dev/zero: not a file or a pipe of rows\n", 0},
    {"endless line", {"--label", "%LABEL%", "--rows", "%DIR%/long.csv", "--pdf", "%PDF%"}, 1,
     "tessary-print: %DIR%/long.csv: line 2 is longer than 4096 bytes\n", 0,
     [](const QDir& dir) { WriteFile(dir.filePath("long.csv"), "03,2026-03-04,4\n03," + QByteArray(5000, '7')); },
     nullptr, {}, {}, {"long.csv", "out.pdf"}},
    {"long field cut in the message", {"--label", "%LABEL%", "--row", "03,2026-03-04," + QString(3000, 'x'), "--pdf",
                                       "%PDF%"}, 1,
     "tessary-print: row \"03,2026-03-04,xxxxxxxxxxxxxxxxxxxxxxxxxx...\": \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...\" "
     "is not a quantity of passes\n", 0},
    // A FIFO that never ends: TERM stops the read, nothing is written.
    {"rows FIFO stopped", {"--label", "%LABEL%", "--rows", "%DIR%/rows.fifo", "--pdf", "%PDF%"}, 128 + SIGTERM, "", 0,
     [](const QDir& dir) { ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("rows.fifo")).constData(), 0600), 0); },
     nullptr, FeedThenTerminate, {}, {"out.pdf", "rows.fifo"}},
    {"PDF as label file", {"--label", "%DIR%/passes.pdf", "--row", kRow, "--pdf", "%PDF%"}, 1,
     "tessary-print: %DIR%/passes.pdf is not a label file\n", 0,
     [](const QDir& dir) { WriteFile(dir.filePath("passes.pdf"), "%PDF-1.4\n1 0 obj\n<< >>\nendobj\n%%EOF\n"); },
     nullptr, {}, {}, {"out.pdf", "passes.pdf"}},
    {"rows from standard input", {"--label", "%LABEL%", "--rows", "-", "--pdf", "%PDF%"}, 0, "", 1, {}, nullptr,
     [](QProcess& tool, const QDir&) {
         tool.write("Lane,Date,Quantity\n03,2026-03-04,4\n");
         tool.closeWriteChannel();
     }},
    {"HOME unset", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%"}, 0, "", 1, {}, "HOME"},
    // A mistyped "off" or a relative name would start an empty register of its own.
    {"register setting mistyped", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%"}, 2,
     "tessary-print: TESSARY_REGISTER \"of\" is not a register setting: use off, an absolute file name or a "
     "postgresql:// URI\n", 0, {}, "TESSARY_REGISTER=of"},
    {"register named relatively", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%"}, 2,
     "tessary-print: TESSARY_REGISTER \"passes.sqlite\" is not a register setting: use off, an absolute file name "
     "or a postgresql:// URI\n", 0, {}, "TESSARY_REGISTER=passes.sqlite", {},
     [](const QDir&) { EXPECT_FALSE(QFile::exists("passes.sqlite")); }},
    // hop1 -> hop2 -> real/sheets.pdf: the file at the end is replaced, the links stay.
    {"link chain", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%DIR%/hop1"}, 0, "", 0,
     [](const QDir& dir) {
         dir.mkdir("real");
         WriteFile(dir.filePath("real/sheets.pdf"), "%PDF-1.4 old\n", 0640);
         QFile::link("real/sheets.pdf", dir.filePath("hop2"));
         QFile::link(dir.filePath("hop2"), dir.filePath("hop1"));
     },
     nullptr, {},
     [](const QDir& dir) {
         EXPECT_EQ(QFileInfo(dir.filePath("hop1")).symLinkTarget(), dir.filePath("hop2"));
         EXPECT_EQ(QFileInfo(dir.filePath("hop2")).symLinkTarget(), dir.filePath("real/sheets.pdf"));
         EXPECT_EQ(PdfPageCount(dir.filePath("real/sheets.pdf")), 1);
         EXPECT_EQ(StatOf(dir.filePath("real/sheets.pdf")).st_mode & 07777, 0640u);
         EXPECT_EQ(QDir(dir.filePath("real")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                   QStringList{"sheets.pdf"});
     },
     {"hop1", "hop2", "out.pdf", "real"}},
    // Run as root on another user's file: it is theirs, left as it was.
    {"private file of another user", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%"}, 3,
     "tessary-print: Unable to write to %PDF%: it is a file of another user\n", 0, OthersFile(0600), nullptr, {},
     KeptOwnerAndMode(0600)},
    {"read-only file of another user", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%"}, 3,
     "tessary-print: Unable to write to %PDF%: it is a file of another user\n", 0, OthersFile(0444), nullptr, {},
     KeptOwnerAndMode(0444)},
    {"start cell beyond the sheet", {"--label", "%LABEL%", "--row", kRow, "--start-cell", "5", "--pdf", "%PDF%"}, 1,
     "tessary-print: --start-cell 5 is beyond the 4 cells of a sheet\n", 0},
    {"unknown lane", {"--label", "%LABEL%", "--row", "08,2026-03-04,4", "--pdf", "%PDF%"}, 1,
     "tessary-print: row \"08,2026-03-04,4\": \"08\" is not a lane (01 02 03 04 05 06 07 09)\n", 0},
    {"bad CSV line", {"--label", "%LABEL%", "--rows", "%CSV%", "--pdf", "%PDF%"}, 1,
     "tessary-print: %CSV% line 3: \"four\" is not a quantity of passes\n", 0},

    {"nothing given", {}, 2, "tessary-print: --label is required (see tessary-print --help)\n", 0},
    {"unknown option", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--colour"}, 2,
     "tessary-print: Unknown option 'colour' (see tessary-print --help)\n", 0},
    {"no rows", {"--label", "%LABEL%", "--pdf", "%PDF%"}, 2,
     "tessary-print: no rows: give --row or --rows (see tessary-print --help)\n", 0},
    {"two outputs", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--printer", "PDF"}, 2,
     "tessary-print: give either --pdf or --printer (see tessary-print --help)\n", 0},
    {"bad range", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--pages", "3-1"}, 2,
     "tessary-print: --pages \"3-1\" is not a list of sheets such as 1,3-4 or 2- (see tessary-print --help)\n", 0},
    {"bad time", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--at", "8:00"}, 2,
     "tessary-print: --at \"8:00\" is not a time of day hh:mm:ss (see tessary-print --help)\n", 0},
    {"cell 0", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%PDF%", "--start-cell", "0"}, 2,
     "tessary-print: --start-cell \"0\" is not a cell number from 1 (see tessary-print --help)\n", 0},
    {"missing label file", {"--label", "%DIR%/none.lbl", "--row", kRow, "--pdf", "%PDF%"}, 2,
     "tessary-print: Cannot open file %DIR%/none.lbl: No such file or directory\n", 0},
    {"missing rows file", {"--label", "%LABEL%", "--rows", "%DIR%/none.csv", "--pdf", "%PDF%"}, 2,
     "tessary-print: Cannot open file %DIR%/none.csv\n", 0},

    {"folder missing", {"--label", "%LABEL%", "--row", kRow, "--pdf", "%DIR%/gone/out.pdf"}, 3,
     "tessary-print: Unable to write to %DIR%/gone/out.pdf\n", 0},
    {"no scheduler on the socket", {"--label", "%LABEL%", "--row", kRow, "--printer", "Passes"}, 3,
     "tessary-print: The print server %NOSCHEDULER% cannot be reached: No such file or directory\n", 0},
    {"a server that refuses", {"--label", "%LABEL%", "--row", kRow, "-h", "127.0.0.1:1", "--printer", "Passes"}, 3,
     "tessary-print: The print server 127.0.0.1:1 cannot be reached: Connection refused\n", 0},
};


QString Filled(QString text, const QTemporaryDir& inputs, const QString& dir)
{
    return text.replace("%LABEL%", inputs.filePath("2x2.lbl"))
        .replace("%FLAT%", inputs.filePath("flat.lbl"))
        .replace("%BARE%", inputs.filePath("bare.lbl"))
        .replace("%CSV%", inputs.filePath("rows.csv"))
        .replace("%PDF%", dir + "/out.pdf")
        .replace("%NOSCHEDULER%", inputs.filePath("no-scheduler"))
        .replace("%DIR%", dir);
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(TessaryPrint, EachOutcomeHasItsExitStatusAndMessage)
{
    QTemporaryDir inputs;
    WriteLabelFile(inputs.filePath("2x2.lbl"), 2, 2);
    WriteLabelFile(inputs.filePath("flat.lbl"), 2, 0);
    LabelValues bare = LoadLabelFile(inputs.filePath("2x2.lbl"));
    bare.fontSize = QStringLiteral("-3");
    SaveLabelFile(inputs.filePath("bare.lbl"), bare);
    QFile csv(inputs.filePath("rows.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Lane,Valid on,Quantity\n03,2026-03-04,4\n03,2026-03-05,four\n");
    csv.close();
    const QProcessEnvironment toolEnvironment = ToolEnvironment(inputs.filePath("no-scheduler"));

    for (const ExitCase& c : kExitCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir out;
        const QString dir = out.path();
        QStringList arguments;
        for (const QString& argument : c.arguments)
            arguments << Filled(argument, inputs, dir);
        if (c.pages == 0) {
            QFile earlier(dir + "/out.pdf");
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write(kEarlierPdf);
        }
        if (c.prepare)
            c.prepare(QDir(dir));
        QProcessEnvironment environment = toolEnvironment;
        if (c.variable && QString::fromLatin1(c.variable).contains('='))
            environment.insert(QString::fromLatin1(c.variable).section('=', 0, 0), QString::fromLatin1(c.variable).section('=', 1));
        else if (c.variable)
            environment.remove(c.variable);

        const ToolRun run = RunTessaryPrint(arguments, environment, [&c, &dir](QProcess& tool) {
            if (c.during)
                c.during(tool, QDir(dir));
        });
        EXPECT_EQ(run.status, c.status) << Text(run.err);
        EXPECT_EQ(Text(run.err), Text(Filled(c.err, inputs, dir)));
        if (c.pages > 0) {
            EXPECT_EQ(PdfPageCount(dir + "/out.pdf"), c.pages);
        } else {
            EXPECT_EQ(FileBytes(dir + "/out.pdf"), kEarlierPdf);
        }
        if (c.check)
            c.check(QDir(dir));
        // Neither a staged PDF nor anything else is left beside the output.
        EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
                  c.entries);
    }
}

TEST(TessaryPrint, HelpGoesToStandardOutput)
{
    const ToolRun run = RunTessaryPrint({"--help"}, ToolEnvironment("/nonexistent"));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.startsWith("Usage: tessary-print --label FILE.lbl")) << Text(run.out);
    EXPECT_TRUE(run.out.contains("Exit status: 0 printed, 1 invalid values")) << Text(run.out);
    EXPECT_EQ(Text(run.err), "");
}

TEST(TessaryPrint, AnInterruptedRunLeavesTheEarlierFileAndNothingElse)
{
    QTemporaryDir inputs;
    WriteLabelFile(inputs.filePath("2x2.lbl"), 2, 2);
    // Enough passes for a run of many minutes.
    QByteArray rows;
    for (int i = 0; i < 5000; ++i)
        rows += "03,2026-03-04,99\n";
    WriteFile(inputs.filePath("rows.csv"), rows);

    // A stop the run handles, and one no program can: neither leaves a file beside the output.
    for (const int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        QTemporaryDir out;
        const QString pdf = out.filePath("out.pdf");
        WriteFile(pdf, kEarlierPdf);
        QProcess tool;
        tool.setProcessEnvironment(ToolEnvironment(inputs.filePath("no-scheduler")));
        tool.start(TESSARY_PRINT_EXE, {"--label", inputs.filePath("2x2.lbl"), "--rows", inputs.filePath("rows.csv"),
                                       "--allow-duplicates", "--quiet", "--pdf", pdf});
        ASSERT_TRUE(tool.waitForStarted());
        // The run has begun its document once it holds its unnamed file beside the output.
        const auto staged = [&out, &tool] { return HoldsUnnamedFileIn(tool.processId(), out.path()); };
        ASSERT_TRUE(QTest::qWaitFor(staged, 20000));
        ::kill(pid_t(tool.processId()), signal);
        ASSERT_TRUE(tool.waitForFinished(60000));

        if (signal == SIGTERM) {
            EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(tool.exitCode(), 128 + SIGTERM);
            EXPECT_EQ(Text(QString::fromUtf8(tool.readAllStandardError())), "");
        }
        EXPECT_EQ(FileBytes(pdf), kEarlierPdf);
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
    }
}

}  // namespace

namespace {

// Whether the process waits for a lock on a file (a "->" line of /proc/locks).
bool WaitsForLock(qint64 pid)
{
    QFile locks("/proc/locks");
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 5 && fields[1] == "->" && fields[5] == QByteArray::number(pid))
            return true;
    }
    return false;
}

TEST(TessaryPrint, TermWhileTheBarcodeBitmapIsLockedElsewhereEndsTheRunAtOnce)
{
    QTemporaryDir inputs;
    WriteLabelFile(inputs.filePath("2x2.lbl"), 2, 2);
    QTemporaryDir out;
    // The tool keeps its barcode bitmap beside itself; another program holds it.
    const QByteArray bitmap = QFile::encodeName(QFileInfo(TESSARY_PRINT_EXE).dir().filePath("code128.bmp"));
    const int held = ::open(bitmap.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    QProcess tool;
    tool.setProcessEnvironment(ToolEnvironment(inputs.filePath("no-scheduler")));
    tool.start(TESSARY_PRINT_EXE, {"--label", inputs.filePath("2x2.lbl"), "--row", kRow, "--pdf", out.filePath("out.pdf")});
    ASSERT_TRUE(tool.waitForStarted());
    const bool waiting = QTest::qWaitFor([&tool] { return WaitsForLock(tool.processId()); }, 30000);
    tool.terminate();
    const bool ended = tool.waitForFinished(1000);
    ::close(held);
    ASSERT_TRUE(waiting) << "the tool never waited for the lock";
    ASSERT_TRUE(ended) << "still running 1 s after TERM";
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 128 + SIGTERM);
    EXPECT_EQ(Text(QString::fromUtf8(tool.readAllStandardError())), "");
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{});
}

// Shared barcodes on sheet 2 alone: a list of the sheets around it prints
// them unasked, and the progress counts the sheets that print.
TEST(TessaryPrint, APageListOfPiecesLooksOnlyAtTheSheetsItPrints)
{
    QTemporaryDir dir;
    WriteLabelFile(dir.filePath("2x2.lbl"), 2, 2);
    // Sheet 1: lane 03 at 08:00:00; sheet 2: two seconds later, its first two
    // passes the numbers of sheet 1's last two; sheet 3: lane 04.
    const QStringList rows = {"--row", "03,2026-03-04T08:00:00,4", "--row", "03,2026-03-04T08:00:02,4",
                              "--row", "04,2026-03-04T09:00:00,4"};
    const QString pdf = dir.filePath("out.pdf");
    const QStringList arguments = QStringList{"--label", dir.filePath("2x2.lbl"), "--pdf", pdf} + rows;
    const QProcessEnvironment environment = ToolEnvironment(dir.filePath("no-scheduler"));
    EXPECT_EQ(RunTessaryPrint(arguments, environment).status, 1) << "the whole run shares barcodes";

    // Standard error on a terminal of its own, as an operator watching sees it.
    QStringList command{QStringLiteral(TESSARY_PRINT_EXE)};
    command << arguments << "-P" << "1,3";
    int status = -1;
    const QString seen = RunTool("script", {"-qec", command.join(' '), "/dev/null"}, &status);
    EXPECT_EQ(status, 0) << Text(seen);
    EXPECT_EQ(Text(QString(seen).remove('\r')), "sheet 1 of 2\nsheet 2 of 2\n");
    EXPECT_EQ(PdfPageCount(pdf), 2);
}

}  // namespace
