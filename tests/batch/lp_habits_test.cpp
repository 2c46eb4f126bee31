// tessary-print as an lp user drives it, against a scheduler of the test's own
// with two cups-pdf queues: the default destination, the job's title, copies
// and options as the scheduler holds them, page lists, and the PDF written to
// standard output and piped into pdfinfo; lpoptions beside lp's job.
#include "support/batch_tool.h"
#include "support/shared_scheduler.h"
#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <map>

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

// "Passes" is the scheduler's default; "Other" is the one the environment names.
const QString kDefaultQueue = QStringLiteral("Passes");
const QString kOtherQueue = QStringLiteral("Other");

// The job's attributes as the scheduler keeps them.
std::map<std::string, std::string> JobAttributes(const QString& socket, const QString& jobId)
{
    std::map<std::string, std::string> found;
    http_t* http = httpConnect2(socket.toLocal8Bit().constData(), 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER, 1,
                                30000, nullptr);
    if (!http)
        return found;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId.section('-', -1).toInt());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* response = cupsDoRequest(http, request, "/");
    for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
        if (ippGetName(a) && ippGetGroupTag(a) == IPP_TAG_JOB) {
            char value[1024];
            ippAttributeString(a, value, sizeof(value));
            found[ippGetName(a)] = value;
        }
    }
    ippDelete(response);
    httpClose(http);
    return found;
}

enum class Output { Queue, StandardOutput, None };

// Placeholders: %LABEL% the 2 x 2 label file (runs of 10 passes fill 3
// sheets), %SERVER% the scheduler's socket. env: variables set for the run
// ("-CUPS_SERVER" removes one); lpoptions: the user's default destination.
struct LpCase {
    const char* name;
    QStringList arguments;
    QStringList env;
    const char* lpoptions;
    int status;
    Output output;
    const char* queue;                                  // where the job lands
    std::map<std::string, std::string> attributes;      // of the job, as the scheduler holds them
    int pages;                                          // of the job's or standard output's PDF
    const char* out;                                    // standard output, when no PDF goes there
    const char* err;
};

const QStringList kRun = {"--label", "%LABEL%", "--row", "03,2026-03-04T08:00:00,10", "--quiet"};

const LpCase kLpCases[] = {
    {"version", {"-V"}, {}, nullptr, 0, Output::None, nullptr, {}, 0, "tessary-print 1.0.0\n", ""},
    {"PDF to standard output", kRun + QStringList{"--pdf", "-"}, {}, nullptr, 0, Output::StandardOutput, nullptr, {},
     3, nullptr, ""},
    {"page list to standard output", kRun + QStringList{"--pdf", "-", "-P", "1,3"}, {}, nullptr, 0,
     Output::StandardOutput, nullptr, {}, 2, nullptr, ""},
    {"open page range", kRun + QStringList{"--pdf", "-", "--pages=2-"}, {}, nullptr, 0, Output::StandardOutput,
     nullptr, {}, 2, nullptr, ""},
    {"PRINTER is the default", kRun, {"PRINTER=Other"}, nullptr, 0, Output::Queue, "Other",
     {{"job-name", "2x2.lbl"}, {"media", "na_letter_8.5x11in"}}, 3, nullptr, ""},
    {"LPDEST when PRINTER is unset", kRun, {"LPDEST=Other"}, nullptr, 0, Output::Queue, "Other", {}, 3, nullptr, ""},
    {"LPDEST over PRINTER", kRun, {"LPDEST=Other", "PRINTER=Passes"}, nullptr, 0, Output::Queue, "Other", {}, 3,
     nullptr, ""},
    {"the user's lpoptions", kRun, {}, "Default Other\n", 0, Output::Queue, "Other", {}, 3, nullptr, ""},
    {"the scheduler's default", kRun, {}, nullptr, 0, Output::Queue, "Passes", {}, 3, nullptr, ""},
    {"-d over PRINTER, title, copies, options, pages", kRun + QStringList{"-d", "Passes", "-t", "Morning run", "-n",
                                                                          "2", "--allow-duplicates", "-o",
                                                                          "print-color-mode=monochrome",
                                                                          "-ojob-priority=60", "-P", "2"},
     {"PRINTER=Other"}, nullptr, 0, Output::Queue, "Passes",
     // sheet 2 alone, in two copies: two pages reach the printer
     {{"job-name", "Morning run"}, {"copies", "2"}, {"print-color-mode", "monochrome"}, {"job-priority", "60"}}, 2,
     nullptr, ""},
    {"-h names the scheduler", kRun + QStringList{"-h", "%SERVER%", "-dOther"}, {"-CUPS_SERVER"}, nullptr, 0,
     Output::Queue, "Other", {}, 3, nullptr, ""},
    {"copies of a PDF", kRun + QStringList{"--pdf", "-", "-n", "2"}, {}, nullptr, 2, Output::None, nullptr, {}, 0, "",
     "tessary-print: --copies is for a printer queue, not --pdf (see tessary-print --help)\n"},
    {"a list that is not one", kRun + QStringList{"--pdf", "-", "-P", "3-1,4"}, {}, nullptr, 2, Output::None, nullptr,
     {}, 0, "",
     "tessary-print: --pages \"3-1,4\" is not a list of sheets such as 1,3-4 or 2- (see tessary-print --help)\n"},
    {"pages beyond the run", kRun + QStringList{"--pdf", "-", "-P", "4-"}, {}, nullptr, 1, Output::None, nullptr, {}, 0,
     "", "tessary-print: Nothing to print: the page range holds no sheet of this run.\n"},
    // Every copy carries the run's barcodes again: nothing goes to the queue.
    {"copies without --allow-duplicates", kRun + QStringList{"-d", "Passes", "-n", "3"}, {}, nullptr, 1, Output::None,
     nullptr, {}, 0, "",
     "tessary-print: -n 3 would print every barcode of this run 3 times; --allow-duplicates prints them anyway\n"},
    // Copies the destination's lpoptions ask for are copies all the same.
    {"lpoptions copies without --allow-duplicates", kRun, {}, "Default Other copies=2\n", 1, Output::None, nullptr,
     {}, 0, "",
     "tessary-print: 2 copies (the destination's options) would print every barcode of this run 2 times; "
     "--allow-duplicates prints them anyway\n"},
    {"lpoptions copies allowed", kRun + QStringList{"--allow-duplicates"}, {}, "Default Other copies=2\n", 0,
     Output::Queue, "Other", {{"copies", "2"}}, 6, nullptr, ""},
    {"no default destination", kRun, {"-CUPS_SERVER", "CUPS_SERVER=%NOSERVER%"}, nullptr, 2, Output::None, nullptr,
     {}, 0, "",
     "tessary-print: No default destination: give --printer QUEUE or --pdf FILE, or set PRINTER (see tessary-print "
     "--help)\n"},
};

class TessaryPrintAsLp : public ::testing::Test {
protected:
    static PrivateCupsScheduler& Scheduler() { return SharedScheduler::Get(); }
    void SetUp() override
    {
        SKIP_OR_ASSERT_SHARED_SCHEDULER();
        ASSERT_EQ(Text(SharedScheduler::Queue(kOtherQueue)), "");
        ASSERT_EQ(Text(SharedScheduler::Queue(kDefaultQueue, QString(), true)), "");
    }

};


TEST_F(TessaryPrintAsLp, OptionsAndDefaultsAsLpHasThem)
{
    QTemporaryDir inputs;
    WriteLabelFile(inputs.filePath("2x2.lbl"), 2, 2);

    for (const LpCase& c : kLpCases) {
        SCOPED_TRACE(c.name);
        const auto filled = [&](QString text) {
            return text.replace("%LABEL%", inputs.filePath("2x2.lbl"))
                .replace("%NOSERVER%", inputs.filePath("no-scheduler"))
                .replace("%SERVER%", Scheduler().SocketPath());
        };
        QTemporaryDir home;
        QProcessEnvironment environment = Scheduler().Env();
        environment.insert("HOME", home.path());
        for (const QString& setting : c.env) {
            if (setting.startsWith('-'))
                environment.remove(setting.mid(1));
            else
                environment.insert(setting.section('=', 0, 0), filled(setting.section('=', 1)));
        }
        if (c.lpoptions) {
            ASSERT_TRUE(QDir(home.path()).mkpath(".cups"));
            QFile lpoptions(home.filePath(".cups/lpoptions"));
            ASSERT_TRUE(lpoptions.open(QIODevice::WriteOnly));
            lpoptions.write(c.lpoptions);
        }
        QStringList arguments;
        for (const QString& argument : c.arguments)
            arguments << filled(argument);
        const QStringList before = Scheduler().CompletedJobs(QString::fromLatin1(c.queue ? c.queue : "Passes"));

        // The tool's standard output goes straight into pdfinfo, as in a shell pipe.
        QProcess tool;
        QProcess pdfinfo;
        tool.setProcessEnvironment(environment);
        if (c.output == Output::StandardOutput) {
            tool.setStandardOutputProcess(&pdfinfo);
            pdfinfo.start("pdfinfo", {"fd://0"});
        }
        tool.start(TESSARY_PRINT_EXE, arguments);
        ASSERT_TRUE(tool.waitForFinished(120000));
        EXPECT_EQ(tool.exitCode(), c.status) << tool.readAllStandardError().toStdString();
        EXPECT_EQ(QString::fromUtf8(tool.readAllStandardError()).toStdString(), c.err);
        if (c.output == Output::StandardOutput) {
            ASSERT_TRUE(pdfinfo.waitForFinished(60000));
            const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
            EXPECT_EQ(pdfinfo.exitCode(), 0) << pdfinfo.readAllStandardError().toStdString();
            EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(c.pages)))) << Text(info);
            EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+612 x 792 pts"))) << Text(info);
        } else if (c.out) {
            EXPECT_EQ(QString::fromUtf8(tool.readAllStandardOutput()).toStdString(), c.out);
        }
        if (c.output != Output::Queue)
            continue;

        const QString queue = QString::fromLatin1(c.queue);
        ASSERT_TRUE(Scheduler().WaitUntilQueueEmpty(queue, 120000));
        QStringList jobs = Scheduler().CompletedJobs(queue);
        for (const QString& job : before)
            jobs.removeAll(job);
        ASSERT_EQ(jobs.size(), 1) << Text(jobs.join(' '));
        const std::map<std::string, std::string> held = JobAttributes(Scheduler().SocketPath(), jobs.front());
        for (const auto& [name, value] : c.attributes) {
            const auto found = held.find(name);
            EXPECT_EQ(found == held.end() ? "(missing)" : found->second, value) << name;
        }
        const QString pdf = Scheduler().WaitForJobOutput(jobs.front(), 30000);
        ASSERT_FALSE(pdf.isEmpty());
        const QString info = RunTool("pdfinfo", {pdf});
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(c.pages)))) << Text(info);
        QFile::remove(pdf);
    }
}

// The system's and the user's lpoptions for a queue or an instance, the
// tool's -o over them (lp gets the same -o), and how the tool reports the job.
struct LpoptionsCase {
    const char* name;
    const char* destination;
    QStringList options;          // -o, for the tool and lp alike
    const char* lpoptions[2];     // the system's, the user's
    const char* report;           // --json, -q, or "" for the request id line
    std::map<std::string, std::string> carried;  // by lp's job and the tool's alike
    const char* said = "";                        // on standard error: what was not sent
};

const LpoptionsCase kLpoptionsCases[] = {
    {"the queue's, but not its paper", "Passes", {},
     {nullptr, "Dest Passes job-priority=10 print-color-mode=monochrome media=iso_a4_210x297mm\n"}, "",
     {{"job-priority", "10"}, {"print-color-mode", "monochrome"}},
     "tessary-print: lpoptions media=iso_a4_210x297mm is not sent: the passes are placed for US Letter, unscaled, "
     "one upright page a sheet, on one side\n"},
    // A site that prints two-sided by default would put sheet 2 on the back of sheet 1.
    {"not its sides", "Passes", {}, {nullptr, "Dest Passes sides=two-sided-long-edge job-priority=40\n"}, "",
     {{"job-priority", "40"}},
     "tessary-print: lpoptions sides=two-sided-long-edge is not sent: the passes are placed for US Letter, unscaled, "
     "one upright page a sheet, on one side\n"},
    {"the instance's, the user's over the system's", "Passes/stock", {},
     {"Dest Passes/stock job-priority=20 media-source=tray-2\n", "Dest Passes/stock job-priority=30\n"}, "-q",
     {{"job-priority", "30"}, {"media-source", "tray-2"}}},
    // Several options to one -o, quoted as a shell quotes them, read as lp reads them.
    {"several to an -o", "Passes", {"-o", "job-priority=33 media-source='tray-2'"}, {nullptr, nullptr}, "-q",
     {{"job-priority", "33"}, {"media-source", "tray-2"}}},
    {"a quoted value", "Passes", {"-o", "job-name=\"a b\""}, {nullptr, nullptr}, "-q", {{"job-name", "a b"}}},
    {"-o over them", "Passes/stock", {"-o", "job-priority=70", "-o", "print-color-mode=color"},
     {nullptr, "Dest Passes/stock job-priority=10 print-color-mode=monochrome media-source=tray-2\n"}, "--json",
     {{"job-priority", "70"}, {"print-color-mode", "color"}, {"media-source", "tray-2"}}},
};

TEST_F(TessaryPrintAsLp, JobsCarryTheDestinationsLpoptionsAsLpsJobsDo)
{
    QTemporaryDir inputs;
    const QString label = inputs.filePath("2x2.lbl");
    WriteLabelFile(label, 2, 2);
    // The scheduler's own system folder and home, which lp is run with too.
    const QProcessEnvironment environment = Scheduler().Env();
    const QString files[] = {environment.value("CUPS_SERVERROOT") + "/lpoptions",
                             environment.value("HOME") + "/.cups/lpoptions"};
    const auto removeFiles = qScopeGuard([&files] { QFile::remove(files[0]), QFile::remove(files[1]); });
    for (const LpoptionsCase& c : kLpoptionsCases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 2; ++i) {
            QFile file(files[i]);
            file.remove();
            ASSERT_TRUE(!c.lpoptions[i] || (file.open(QIODevice::WriteOnly) && file.write(c.lpoptions[i]) > 0));
        }
        const QStringList before = Scheduler().CompletedJobs(kDefaultQueue);
        QStringList arguments =
            QStringList{"--label", label, "--row", "03,2026-03-04T08:00:00,10", "-d", c.destination, c.report} + c.options;
        arguments.removeAll("");  // the request id line takes no flag
        const ToolRun run = RunTessaryPrint(arguments, environment);
        ASSERT_EQ(run.status, 0) << Text(run.err);
        EXPECT_EQ(Text(run.err), c.said);
        ASSERT_TRUE(Scheduler().WaitUntilQueueEmpty(kDefaultQueue, 120000));
        QStringList jobs = Scheduler().CompletedJobs(kDefaultQueue);
        for (const QString& job : before)
            jobs.removeAll(job);
        ASSERT_EQ(jobs.size(), 1) << Text(jobs.join(' '));
        // lp's job for the same destination, held so that it never prints.
        QString lpLine = Scheduler().Run("lp", c.options + QStringList{"-d", c.destination, "-H", "hold", label});
        const QString lpJob = lpLine.section(' ', 3, 3);
        auto lpHeld = JobAttributes(Scheduler().SocketPath(), lpJob);
        Scheduler().Run("cancel", {lpJob});
        auto held = JobAttributes(Scheduler().SocketPath(), jobs.front());
        for (const auto& [name, value] : c.carried)
            EXPECT_EQ(std::pair(held[name], lpHeld[name]), std::pair(value, value)) << name << ": ours, lp's";
        EXPECT_EQ(held["media"], "na_letter_8.5x11in");
        EXPECT_EQ(held["sides"], "one-sided");
        if (c.report == QLatin1String("--json"))
            EXPECT_EQ(QJsonDocument::fromJson(run.out.toUtf8()).object(),
                      (QJsonObject{{"job", jobs.front()}, {"pdf", QJsonValue()}, {"sheets", 3}, {"passes", 10},
                                   {"register_run", QJsonValue()}, {"held_until", QJsonValue()}})) << Text(run.out);
        else
            EXPECT_EQ(Text(run.out), *c.report ? "" : Text(lpLine.replace(lpJob, jobs.front())));
    }
}

// A job asked to be held stays held once the run has handed it on, as lp's
// does, and the run names it; it is released by hand or at its time.
TEST_F(TessaryPrintAsLp, AJobAskedToBeHeldStaysHeld)
{
    QTemporaryDir inputs;
    const QString label = inputs.filePath("2x2.lbl");
    WriteLabelFile(label, 2, 2);
    struct HoldCase {
        QStringList asked;  // for the tool and lp alike
        const char* holdUntil;
    };
    const HoldCase cases[] = {{{"-H", "hold"}, "indefinite"},
                              {{"-o", "job-hold-until=indefinite"}, "indefinite"},
                              {{"-H", "23:59"}, "23:59"}};
    for (const HoldCase& c : cases) {
        SCOPED_TRACE(Text(c.asked.join(' ')));
        const QStringList before = Scheduler().PendingJobs(kDefaultQueue);
        const ToolRun run = RunTessaryPrint(
            QStringList{"--label", label, "--row", "03,2026-03-04T08:00:00,10", "-d", kDefaultQueue, "-q"} + c.asked,
            Scheduler().Env());
        ASSERT_EQ(run.status, 0) << Text(run.err);
        QStringList pending = Scheduler().PendingJobs(kDefaultQueue);
        for (const QString& earlier : before)
            pending.removeAll(earlier);
        ASSERT_EQ(pending.size(), 1) << Text(pending.join(' '));
        const QString job = pending.front();
        EXPECT_EQ(Text(run.err), Text(QStringLiteral("tessary-print: %1 is held (job-hold-until=%2); lp -i %1 -H resume "
                                                     "releases it\n")
                                          .arg(job, QLatin1String(c.holdUntil))));
        const QString lpLine = Scheduler().Run("lp", c.asked + QStringList{"-d", kDefaultQueue, label});
        const QString lpJob = lpLine.section(' ', 3, 3);
        auto ours = JobAttributes(Scheduler().SocketPath(), job);
        auto lps = JobAttributes(Scheduler().SocketPath(), lpJob);
        for (const char* name : {"job-state", "job-hold-until"})
            EXPECT_EQ(ours[name], lps[name]) << name << ": ours, lp's";
        EXPECT_EQ(ours["job-state"], "pending-held");
        Scheduler().Run("cancel", {job, lpJob});
    }
}

}  // namespace
