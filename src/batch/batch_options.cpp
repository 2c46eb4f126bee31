#include "batch/batch_options.h"

#include "common/exit_status.h"
#include "output/queue_job.h"
#include "sheet/sheet_list.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace {

const QString kLabel = QStringLiteral("label");
const QString kRow = QStringLiteral("row");
const QString kRows = QStringLiteral("rows");
const QString kPdf = QStringLiteral("pdf");
const QString kPrinter = QStringLiteral("printer");
const QString kPages = QStringLiteral("pages");
const QString kAt = QStringLiteral("at");
const QString kStartCell = QStringLiteral("start-cell");
const QString kJobs = QStringLiteral("jobs");
const QString kOutline = QStringLiteral("outline");
const QString kAllowDuplicates = QStringLiteral("allow-duplicates");
const QString kAllowReprint = QStringLiteral("allow-reprint");
const QString kAllowPartlyCovered = QStringLiteral("allow-partly-covered");
const QString kQuiet = QStringLiteral("quiet");
const QString kJson = QStringLiteral("json");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");
const QString kCopies = QStringLiteral("copies");
const QString kOption = QStringLiteral("option");
const QString kHold = QStringLiteral("hold");
const QString kTitle = QStringLiteral("title");
const QString kServer = QStringLiteral("server");
const QString kCalibrationSheet = QStringLiteral("calibration-sheet");
const QString kCorrection = QStringLiteral("correction");
// What a CUPS scheduler takes by default (MaxCopies).
const int kMostCopies = 9999;

[[noreturn]] void UsageFault(const QString& message)
{
    QString text = message;
    if (text.endsWith(QLatin1Char('.')))  // Qt's parser ends its messages with one
        text.chop(1);
    throw TessaryError(text + QStringLiteral(" (see tessary-print --help)"), ErrorKind::Usage);
}

// The one value of an option that may be given once; empty when it is absent.
QString SingleValue(const QCommandLineParser& parser, const QString& name)
{
    const QStringList values = parser.values(name);
    if (values.size() > 1)
        UsageFault(QStringLiteral("--%1 is given more than once").arg(name));
    if (!values.isEmpty() && values.constFirst().isEmpty())
        UsageFault(QStringLiteral("--%1 needs a value").arg(name));
    return values.isEmpty() ? QString() : values.constFirst();
}

int WholeNumberOrZero(const QString& digits)
{
    if (!QRegularExpression(QStringLiteral("^[0-9]{1,9}$")).match(digits).hasMatch())
        return 0;
    return digits.toInt();
}

}  // namespace

bool PdfToStandardOutput(const BatchOptions& options) { return options.pdfFile == QLatin1String("-"); }

QTime ParseTimeOfDay(const QString& text)
{
    if (!QRegularExpression(QStringLiteral("^[0-9]{2}:[0-9]{2}:[0-9]{2}$")).match(text).hasMatch())
        return QTime();
    return QTime::fromString(text, QStringLiteral("HH:mm:ss"));
}

namespace {

// lp's -H for a new job: hold (until released by hand), immediate, or a time
// of day the scheduler holds it until.
QString HoldUntil(const QString& when)
{
    if (when == QLatin1String("hold"))
        return QStringLiteral("indefinite");
    if (when == QLatin1String("immediate"))
        return QStringLiteral("no-hold");
    static const QRegularExpression timeOfDay(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9](:[0-5][0-9])?$"));
    for (const char* named : {"day-time", "evening", "night", "second-shift", "third-shift", "weekend"}) {
        if (when == QLatin1String(named))
            return when;
    }
    if (timeOfDay.match(when).hasMatch())
        return when;
    UsageFault(QStringLiteral("-H \"%1\" is not hold, immediate or a time such as 18:30 or night").arg(when));
}

}  // namespace

BatchOptions ParseBatchOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    // As lp has them: "-d QUEUE" and "-dQUEUE" alike; long options take two dashes.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const auto valued = [](const QStringList& names, const char* valueName) {
        return QCommandLineOption(names, QString(), QString::fromLatin1(valueName));
    };
    parser.addOptions({valued({kLabel}, "file"), valued({kRow}, "row"), valued({kRows}, "file"),
                       valued({kPdf}, "file"), valued({QStringLiteral("d"), kPrinter}, "queue"),
                       valued({QStringLiteral("n"), kCopies}, "copies"), valued({QStringLiteral("P"), kPages}, "pages"),
                       valued({QStringLiteral("o"), kOption}, "name=value"),
                       valued({QStringLiteral("H"), kHold}, "when"),
                       valued({QStringLiteral("t"), kTitle}, "title"),
                       valued({QStringLiteral("h"), kServer}, "server"), valued({kAt}, "time"),
                       valued({kStartCell}, "n"), valued({kJobs}, "n"), QCommandLineOption(kOutline), QCommandLineOption(kAllowDuplicates),
                       QCommandLineOption(kAllowReprint), QCommandLineOption(kAllowPartlyCovered),
                       QCommandLineOption(QStringList{QStringLiteral("q"), QStringLiteral("s"), kQuiet}), QCommandLineOption(kJson),
                       QCommandLineOption(QStringList{QStringLiteral("?"), kHelp}),
                       QCommandLineOption(QStringList{QStringLiteral("V"), kVersion})});
    parser.addOptions({QCommandLineOption(kCalibrationSheet), valued({kCorrection}, "dx,dy[,sx,sy]")});
    if (!parser.parse(QStringList{QStringLiteral("tessary-print")} + arguments))
        UsageFault(parser.errorText());

    BatchOptions options;
    if (parser.isSet(kHelp) || parser.isSet(kVersion)) {
        options.help = parser.isSet(kHelp);
        options.version = !options.help;
        return options;
    }
    if (!parser.positionalArguments().isEmpty())
        UsageFault(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst()));

    options.labelFile = SingleValue(parser, kLabel);
    if (options.labelFile.isEmpty())
        UsageFault(QStringLiteral("--label is required"));
    options.rowTexts = parser.values(kRow);
    options.rowFiles = parser.values(kRows);
    options.calibrationSheet = parser.isSet(kCalibrationSheet);
    if (options.calibrationSheet && !(options.rowTexts.isEmpty() && options.rowFiles.isEmpty()))
        UsageFault(QStringLiteral("--calibration-sheet prints no passes: give no --row or --rows"));
    if (parser.isSet(kCorrection)) {
        const QString text = SingleValue(parser, kCorrection);
        options.correction = ParseCorrection(text);
        if (!options.correction)
            UsageFault(QStringLiteral("--correction \"%1\" is not DX,DY[,SX,SY]: inches within 1 and percent "
                                      "from 99 to 101")
                           .arg(text));
    }
    if (!options.calibrationSheet && options.rowTexts.isEmpty() && options.rowFiles.isEmpty())
        UsageFault(QStringLiteral("no rows: give --row or --rows"));

    options.pdfFile = SingleValue(parser, kPdf);
    options.queue = SingleValue(parser, kPrinter);
    if (!options.pdfFile.isEmpty() && !options.queue.isEmpty())
        UsageFault(QStringLiteral("give either --pdf or --printer"));
    options.server = SingleValue(parser, kServer);
    options.title = SingleValue(parser, kTitle);
    if (parser.isSet(kCopies)) {
        const QString text = SingleValue(parser, kCopies);
        options.copies = WholeNumberOrZero(text);
        if (*options.copies < 1 || *options.copies > kMostCopies)
            UsageFault(QStringLiteral("--copies \"%1\" is not a number of copies from 1 to %2").arg(text).arg(kMostCopies));
    }
    // As lp reads them: several to an -o, values quoted as a shell quotes them.
    for (const QString& text : parser.values(kOption)) {
        const JobOptions parsed = ParsedJobOptions(text);
        if (parsed.empty() || text.trimmed().startsWith(QLatin1Char('=')))
            UsageFault(QStringLiteral("--option \"%1\" is not NAME=VALUE").arg(text));
        for (const auto& [name, value] : parsed)
            options.jobOptions.emplace_back(QString::fromLocal8Bit(name), QString::fromLocal8Bit(value));
    }
    if (parser.isSet(kHold))
        options.jobOptions.emplace_back(QStringLiteral("job-hold-until"), HoldUntil(SingleValue(parser, kHold)));
    // A PDF file holds each sheet once and has no job to name or options to carry.
    if (!options.pdfFile.isEmpty()) {
        for (const QString& name : {kCopies, kOption, kHold, kTitle, kServer}) {
            if (parser.isSet(name))
                UsageFault(QStringLiteral("--%1 is for a printer queue, not --pdf").arg(name));
        }
    }

    if (parser.isSet(kPages)) {
        const QString text = SingleValue(parser, kPages);
        options.pages = ParseSheetList(text);
        if (!options.pages)
            UsageFault(QStringLiteral("--pages \"%1\" is not a list of sheets such as 1,3-4 or 2-").arg(text));
    }
    if (parser.isSet(kAt)) {
        const QString text = SingleValue(parser, kAt);
        options.timeOfDay = ParseTimeOfDay(text);
        if (!options.timeOfDay->isValid())
            UsageFault(QStringLiteral("--at \"%1\" is not a time of day hh:mm:ss").arg(text));
    }
    if (parser.isSet(kStartCell)) {
        const QString text = SingleValue(parser, kStartCell);
        options.startCell = WholeNumberOrZero(text);
        if (options.startCell < 1)
            UsageFault(QStringLiteral("--start-cell \"%1\" is not a cell number from 1").arg(text));
    }
    if (parser.isSet(kJobs)) {
        const QString text = SingleValue(parser, kJobs);
        options.drawingJobs = WholeNumberOrZero(text);
        if (options.drawingJobs < 1)
            UsageFault(QStringLiteral("--jobs \"%1\" is not a number of workers from 1").arg(text));
    }
    options.outlineCells = parser.isSet(kOutline);
    options.allowDuplicates = parser.isSet(kAllowDuplicates);
    options.allowReprint = parser.isSet(kAllowReprint);
    options.allowPartlyCovered = parser.isSet(kAllowPartlyCovered);
    options.quiet = parser.isSet(kQuiet);
    options.json = parser.isSet(kJson);
    if (options.json && PdfToStandardOutput(options))
        UsageFault(QStringLiteral("--json and --pdf - both write to standard output"));
    return options;
}

QString BatchHelpText()
{
    return QStringLiteral(
        "Usage: tessary-print --label FILE.lbl --row LANE,YYYY-MM-DD[Thh:mm:ss],QTY [--row ...]\n"
        "                     [--rows FILE.csv] [--pdf OUT.pdf | -d QUEUE] [options]\n"
        "\n"
        "Prints sheets of lane passes without the window: the layout, headings and\n"
        "typeface come from the label file, the passes from the rows.\n"
        "\n"
        "  --label FILE            label file with the layout and heading settings\n"
        "  --row ROW               one row: lane, valid-on date (and time), quantity\n"
        "  --rows FILE             CSV rows \"lane,date[,time],quantity\", optional header\n"
        "  --pdf FILE              write the sheets to a PDF file (US Letter); - for\n"
        "                          standard output\n"
        "  -d, --printer QUEUE     send the sheets to a CUPS queue (or QUEUE/INSTANCE) as\n"
        "                          one job, with its lpoptions (default: LPDEST, PRINTER,\n"
        "                          or the lpoptions/system default)\n"
        "  -n, --copies N          copies of the job\n"
        "  -o, --option NAME=VALUE a job option for the queue, as lp -o takes it (several\n"
        "                          to an -o, quoted as a shell quotes), over the queue's\n"
        "                          lpoptions; paper, scaling, n-up, orientation, sides\n"
        "                          and page options stay the stock's\n"
        "  -H hold|immediate|TIME  hold the job until released (lp -i JOB -H resume),\n"
        "                          or until TIME (18:30, night, weekend...)\n"
        "  -t, --title TITLE       the job's title (default: the label file's name)\n"
        "  -h, --server HOST[:PORT] the CUPS scheduler to print through\n"
        "  -P, --pages LIST        print only these sheets of the run: 2, 2-5, 1,3-4, 2-\n"
        "  --at hh:mm:ss           time of day for rows that give none (default: now)\n"
        "  --start-cell N          first cell of sheet 1 that takes a pass (default 1)\n"
        "  --outline               frame every cell, for lining up the stock\n"
        "  --jobs N                draw a long run as documents of 50 sheets, N at once,\n"
        "                          joined into one PDF (default: sheet by sheet)\n"
        "  --correction DX,DY[,SX,SY]  the output's offset (inches, positive right and\n"
        "                          down) and scale (percent); default: the one kept for\n"
        "                          the queue, none for a PDF; 0,0 for none\n"
        "  --calibration-sheet     print the page of rulers that the correction is\n"
        "                          read from, in place of passes (no rows)\n"
        "  --allow-duplicates      print even when passes would share a barcode (-n 2 too)\n"
        "  --allow-partly-covered  print even passes whose barcodes read only along\n"
        "                          a strip of their bars (a heading covers the rest)\n"
        "  --allow-reprint         print even passes the register holds as printed before\n"
        "  -q, -s, --quiet         no \"request id is QUEUE-N (1 file(s))\" line on\n"
        "                          standard output, no progress on a terminal\n"
        "  --json                  the result as one line of JSON on standard output\n"
        "                          (job, pdf, sheets, passes, register_run)\n"
        "  -V, --version           show the version\n"
        "  --help                  show this text\n"
        "\n"
        "Exit status: 0 printed, 1 invalid values or refused rows (or nothing to\n"
        "print), 2 usage, 3 printing failed (nothing handed on), 4 printed or may\n"
        "have, but the passes stay pending (the message names the run), 128+N\n"
        "stopped by signal N before anything was handed on. Nothing is printed or\n"
        "written unless the whole run is.\n"
        "\n"
        "Every pass printed is recorded in the register of issued passes that\n"
        "TESSARY_REGISTER names (see tessary-register); passes printed before\n"
        "are refused with status 1 unless --allow-reprint is given.\n");
}

QString BatchVersionText()
{
    return QStringLiteral("tessary-print " TESSARY_VERSION "\n");
}
