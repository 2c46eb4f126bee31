// Measures how fast sheets of passes go into a PDF file, how large each sheet
// comes out and how much memory the run peaks at.
//
//   render-bench --sheets S --cols C --rows R --dpi D --out FILE
//                [--bitmap PATH] [--first-day YYYY-MM-DD] [--list FILE] [--verify]
//                [--filter-chain [--ppd FILE]] [--queue NAME]
//                [--register PATH|URI [--earlier N]] [--jobs N]
//
// --bitmap names the barcode bitmap file (a file in a temporary folder of its own
// when left out), --first-day the valid-on day of the first generated row (so
// that two runs print different passes) and --list a file that receives every
// barcode text drawn, in order, one per line. --register records the run in a
// register of issued passes (a SQLite file or a PostgreSQL URI), as the window
// does: the passes are looked up first and recorded as the run hands them on;
// --earlier first fills it with that many passes of an earlier run.
// --verify reads every barcode back from a picture of its sheet as the window
// and tessary-print do (left off by default, so that figures stay comparable
// with earlier ones, and because the default 4 x 20 layout overlaps barcodes on
// purpose).
//
// --jobs draws the run as documents of 50 sheets, N at once, joined into one
// PDF: as a queue's run always is (one worker a processor), and a file's only
// when asked.
//
// Prints passes_per_second, pdf_bytes_per_sheet and peak_rss_mb, one per line;
// with --register also register_check_ms, the lookup of the run's passes
// before the run, and register_record_ms, what recording them (pending in one
// transaction with the check again, then issued) added to the run.
//
// --filter-chain then runs the PDF through the filters of a laser queue at 600
// dpi (cupsfilter, no scheduler; --ppd names the description, a generic PCL-XL
// laser by default) and adds filter_ms_per_sheet (wall) and
// filter_cpu_ms_per_sheet (processor time of the filters). Draw at --dpi 1200 for it, as
// a print to a real queue would.
//
// --queue prints the run to that queue of the scheduler CUPS_SERVER names (one of
// the caller's own, see tests/support/private_cups.sh) instead of to --out, and
// prints first_byte_seconds: from the start of the run until the job is handed on.

#include "common/heap_retention.h"
#include "common/tessary_error.h"
#include "output/run_page_layout.h"
#include "passes/valid_on_stamp.h"
#include "register/pass_register.h"
#include "register/register_run.h"
#include "run/print_run.h"

#include "filter_chain.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QStringList>
#include <QTemporaryDir>
#include <QTime>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <sys/resource.h>

namespace {

// A list row holds at most 99 passes, as the window allows.
constexpr int kMaxPassesPerRow = 99;

struct BenchOptions {
    int sheets = 100;
    int cols = 4;
    int rows = 20;
    int dpi = 300;
    QString out;
    QString bitmap;
    QDate firstDay{2026, 3, 2};
    QString list;
    bool filterChain = false;
    QString ppd = QStringLiteral("/usr/share/ppd/cupsfilters/pxlmono.ppd");
    QString queue;
    QString registerLocation;
    int earlier = 0;
    int jobs = 0;
    bool verify = false;
};

constexpr char kFilterResolution[] = "600dpi";

class BenchStyle : public HeadingStyleSource {
public:
    bool Centred() const override { return true; }
    QString FaceName() const override { return QStringLiteral("Liberation Sans"); }
};

void PrintUsage()
{
    std::fprintf(stderr, "usage: render-bench --sheets S --cols C --rows R --dpi D --out FILE\n"
                         "                    [--bitmap PATH] [--first-day YYYY-MM-DD] [--list FILE] [--verify]\n"
                         "                    [--filter-chain [--ppd FILE]] [--queue NAME]\n"
                         "                    [--register PATH|URI [--earlier N]] [--jobs N]\n");
}

bool ParsePositive(const QString& text, int& value)
{
    bool ok = false;
    const int parsed = text.toInt(&ok);
    if (!ok || parsed < 1)
        return false;
    value = parsed;
    return true;
}

bool ParseOptions(const QStringList& args, BenchOptions& options)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString& name = args[i];
        if (name == "--verify") {
            options.verify = true;
            continue;
        }
        if (name == "--filter-chain") {
            options.filterChain = true;
            continue;
        }
        if (i + 1 >= args.size())
            return false;
        const QString value = args[++i];
        bool ok = true;
        if (name == "--sheets")
            ok = ParsePositive(value, options.sheets);
        else if (name == "--cols")
            ok = ParsePositive(value, options.cols);
        else if (name == "--rows")
            ok = ParsePositive(value, options.rows);
        else if (name == "--dpi")
            ok = ParsePositive(value, options.dpi);
        else if (name == "--out")
            options.out = value;
        else if (name == "--bitmap")
            options.bitmap = value;
        else if (name == "--first-day")
            ok = (options.firstDay = QDate::fromString(value, Qt::ISODate)).isValid();
        else if (name == "--list")
            options.list = value;
        else if (name == "--ppd")
            options.ppd = value;
        else if (name == "--queue")
            options.queue = value;
        else if (name == "--register")
            options.registerLocation = value;
        else if (name == "--earlier")
            ok = ParsePositive(value, options.earlier);
        else if (name == "--jobs")
            ok = ParsePositive(value, options.jobs);
        else
            ok = false;
        if (!ok)
            return false;
    }
    // A queue run's PDF goes to the queue; there is nothing to filter here.
    if (!options.queue.isEmpty())
        return options.out.isEmpty() && !options.filterChain;
    return !options.out.isEmpty();
}

LayoutSettings BenchLayout(const BenchOptions& options)
{
    LayoutSettings s;
    s.cols = options.cols;
    s.rows = options.rows;
    s.leftMarginInches = 0.25;
    s.topMarginInches = 0.5;
    s.fontSizeFactor = 1.0;
    s.headingLines = {"RIVERSIDE AQUATIC CENTRE", "Lane Swim Pass", "Admit one", "", ""};
    s.headingBold = {true, false, false, false, false};
    return s;
}

// Enough rows for the passes wanted, each with its own lane and stamp so that
// no two barcodes of the run repeat.
std::vector<PassListRow> BenchRows(long long passes, const QDate& firstDay)
{
    std::vector<PassListRow> rows;
    for (long long made = 0, k = 0; made < passes; ++k) {
        const int quantity = int(std::min<long long>(kMaxPassesPerRow, passes - made));
        const QDate day = firstDay.addDays(k / 24);
        const QTime time(int(k % 24), int((k * 7) % 60), int((k * 2) % 60));
        PassListRow row;
        row.lane = QStringLiteral("%1").arg(int(k % 12) + 1, 2, 10, QLatin1Char('0'));
        row.validOnStamp = EncodeValidOnStamp(day, time);
        row.validOnText = day.toString(u"MM/dd/yyyy");
        row.quantityText = QString::number(quantity);
        rows.push_back(row);
        made += quantity;
    }
    return rows;
}

// One text a line; nothing to do without a list file.
bool WriteList(const QString& path, const QStringList& texts)
{
    if (path.isEmpty())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (const QString& text : texts)
        file.write(text.toUtf8() + '\n');
    return file.flush() && file.error() == QFileDevice::NoError;
}

double PeakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!status.atEnd()) {
            const QByteArray line = status.readLine();
            if (line.startsWith("VmHWM:")) {
                const QList<QByteArray> parts = line.mid(6).simplified().split(' ');
                bool ok = false;
                const double kb = parts.value(0).toDouble(&ok);
                if (ok)
                    return kb / 1024.0;
            }
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Forwards to the run's register account, timing what recording costs the run.
class TimedRecorder : public RunRecorder {
public:
    explicit TimedRecorder(RunRecorder& inner) : inner_(inner) {}
    void Reserve(const std::vector<RunPass>& passes, const RunOutput& output) override
    {
        Timed([&] { inner_.Reserve(passes, output); });
    }
    void Confirm(qint64 handedOn) override { Timed([&] { inner_.Confirm(handedOn); }); }
    void Withdraw() override { Timed([&] { inner_.Withdraw(); }); }
    void AllowAgain(const QSet<QString>& keys) override { inner_.AllowAgain(keys); }
    QString RunId() const override { return inner_.RunId(); }
    double Milliseconds() const { return double(nanoseconds_) / 1e6; }

private:
    template <typename Step>
    void Timed(const Step& step)
    {
        QElapsedTimer timer;
        timer.start();
        step();
        nanoseconds_ += timer.nsecsElapsed();
    }
    RunRecorder& inner_;
    qint64 nanoseconds_ = 0;
};

// The register the run records into, with options.earlier passes of an earlier
// run already in it: days before the run's own, so that none is asked about.
std::unique_ptr<PassRegister> OpenBenchRegister(const BenchOptions& options, const LayoutSettings& settings)
{
    auto passRegister = std::make_unique<PassRegister>(ParseRegisterLocation(options.registerLocation));
    if (options.earlier > 0) {
        const int rowDays = (options.earlier / kMaxPassesPerRow) / 24 + 2;
        RunInfo run = NewRunInfo(QStringLiteral("render-bench"));
        run.output = RunOutput{true, QStringLiteral("earlier.pdf")};
        const std::vector<RunPass> earlier =
            PlacePasses(BenchRows(options.earlier, options.firstDay.addDays(-rowDays)), settings.cols, settings.rows,
                        1, SheetRange())
                .passes;
        passRegister->Reserve(run, earlier, ReprintAllowance{true, {}});
        passRegister->Confirm(run.id, qint64(earlier.size()));
    }
    return passRegister;
}

// Says yes to every question, as an operator in a hurry would; the figures
// are of printing, not of asking.
class YesToAll : public RunAnswers {
public:
    bool Accept(const RunQuestion&) override { return true; }
    void ReportUnusable() override { throw TessaryError(kInvalidValueText); }
};

// Forwards the plan's look-up to the register, timing it.
class TimedLookup : public IssuedPassLookup {
public:
    explicit TimedLookup(PassRegister& inner) : inner_(inner) {}
    EarlierIssues LookUp(const std::vector<RunPass>& passes) override
    {
        QElapsedTimer timer;
        timer.start();
        const EarlierIssues found = inner_.LookUp(passes);
        milliseconds_ = double(timer.nsecsElapsed()) / 1e6;
        return found;
    }
    double Milliseconds() const { return milliseconds_; }

private:
    PassRegister& inner_;
    double milliseconds_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    KeepFreedHeapForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    BenchOptions options;
    if (!ParseOptions(app.arguments(), options)) {
        PrintUsage();
        return 2;
    }
    QTemporaryDir workDir;
    if (!workDir.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    const LayoutSettings settings = BenchLayout(options);
    const long long wanted = 1LL * options.sheets * options.cols * options.rows;
    const std::vector<PassListRow> rows = BenchRows(wanted, options.firstDay);
    const BenchStyle style;
    const QString bitmapPath =
        options.bitmap.isEmpty() ? workDir.filePath(QStringLiteral("code128.bmp")) : options.bitmap;
    QStringList drawnTexts;
    PrintRunRequest request;
    request.settings = settings;
    request.rows = rows;
    request.style = &style;
    request.bitmapPath = bitmapPath;
    request.barcodeCheck = options.verify ? BarcodeCheck::StopRun : BarcodeCheck::Off;
    request.drawingJobs = options.jobs;
    if (!options.list.isEmpty()) {
        drawnTexts.reserve(qsizetype(wanted));
        request.passDrawn = [&drawnTexts](const QString& text) { drawnTexts.append(text); };
    }

    std::unique_ptr<PassRegister> passRegister;
    try {
        if (!options.registerLocation.isEmpty())
            passRegister = OpenBenchRegister(options, settings);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "register: %s\n", error.what());
        return 1;
    }

    int drawn = 0;
    double checkMs = 0;
    std::unique_ptr<TimedRecorder> timedRecorder;
    QElapsedTimer timer;
    timer.start();
    try {
        std::unique_ptr<RegisterRun> recorder;
        std::unique_ptr<TimedLookup> lookup;
        if (passRegister) {
            lookup = std::make_unique<TimedLookup>(*passRegister);
            recorder = std::make_unique<RegisterRun>(*passRegister, QStringLiteral("render-bench"), ReprintAllowance{});
            timedRecorder = std::make_unique<TimedRecorder>(*recorder);
            request.recorder = timedRecorder.get();
        }
        QPrinter printer(QPrinter::HighResolution);
        if (options.queue.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(options.out);
        } else {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(options.queue);
        }
        printer.setResolution(options.dpi);
        PrepareLetterPrinter(printer);
        const RunPlan plan = PlanRun(request, OutputChoiceOf(printer), lookup.get());
        if (plan.refusal && plan.refusal->kind != RunRefusal::LayoutUnusable)
            throw TessaryError(plan.refusal->text);
        checkMs = lookup ? lookup->Milliseconds() : 0;
        YesToAll answers;
        drawn = PrintPlanned(printer, plan, answers).passesDrawn;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "printing failed: %s\n", error.what());
        WriteList(options.list, drawnTexts);
        return 1;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!WriteList(options.list, drawnTexts)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(options.list));
        return 1;
    }
    if (drawn != wanted) {
        std::fprintf(stderr, "drew %d passes of %lld\n", drawn, wanted);
        return 1;
    }
    std::printf("passes_per_second: %.0f\n", seconds > 0 ? drawn / seconds : 0.0);
    if (!options.queue.isEmpty()) {
        // PrintPlanned returns once the finished PDF has been handed to the queue.
        std::printf("first_byte_seconds: %.2f\n", seconds);
    } else {
        const qint64 pdfBytes = QFileInfo(options.out).size();
        std::printf("pdf_bytes_per_sheet: %lld\n", static_cast<long long>(pdfBytes / options.sheets));
    }
    std::printf("peak_rss_mb: %.1f\n", PeakRssMb());
    if (options.filterChain) {
        QString error;
        const FilterChainTime filters = TimeThroughFilterChain(options.out, options.ppd, kFilterResolution, error);
        if (filters.wallSeconds < 0) {
            std::fprintf(stderr, "filter chain: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("filter_ms_per_sheet: %.1f\n", filters.wallSeconds * 1000.0 / options.sheets);
        std::printf("filter_cpu_ms_per_sheet: %.1f\n", filters.cpuSeconds * 1000.0 / options.sheets);
    }
    if (passRegister)
        std::printf("register_check_ms: %.1f\n", checkMs);
    if (timedRecorder)
        std::printf("register_record_ms: %.1f\n", timedRecorder->Milliseconds());
    return 0;
}
