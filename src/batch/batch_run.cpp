#include "batch/batch_run.h"

#include "common/exit_status.h"
#include "batch/batch_options.h"
#include "batch/batch_output.h"
#include "batch/batch_register.h"
#include "batch/batch_report.h"
#include "batch/batch_rows.h"
#include "batch/print_server_watchdog.h"
#include "common/removed_on_termination.h"
#include "common/tessary_error.h"
#include "fonts/heading_face.h"
#include "labelfile/label_layout.h"
#include "output/queue_job.h"
#include "common/stop_signal.h"
#include "common/tessary_error.h"
#include "output/stored_correction.h"
#include "run/print_run.h"
#include "verify/partly_read_passes.h"
#include "verify/run_barcode_check.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <algorithm>
#include <optional>

namespace {

std::vector<PassListRow> ReadRows(const BatchOptions& options, const QTime& startTime)
{
    std::vector<BatchRow> read;
    for (const QString& text : options.rowTexts)
        read.push_back(ParseRowText(text, QStringLiteral("row ") + QuotedForMessage(text)));
    for (const QString& path : options.rowFiles) {
        const std::vector<BatchRow> fromFile = ReadRowsFile(path);
        read.insert(read.end(), fromFile.begin(), fromFile.end());
    }
    const QTime defaultTime = options.timeOfDay.value_or(startTime);
    std::vector<PassListRow> rows;
    for (const BatchRow& row : read)
        rows.push_back(MakePassListRow(row, defaultTime));
    return rows;
}

[[noreturn]] void Refuse(const QString& message) { throw TessaryError(message, ErrorKind::Refused); }

// What the plan refuses, in tessary-print's words where its flags say it otherwise.
[[noreturn]] void RefusePlan(const RunPlan& plan)
{
    const RunRefusal& refusal = *plan.refusal;
    if (refusal.kind == RunRefusal::StartCellBeyondSheet)
        Refuse(QStringLiteral("--start-cell %1 is beyond the %2 cells of a sheet")
                   .arg(plan.request.startCell)
                   .arg(qint64(plan.request.settings.cols) * plan.request.settings.rows));
    Refuse(refusal.text);
}

// The plan's questions answered from the flags: what is not allowed is
// declined, and the refusal names the flag that would allow it.
class BatchAnswers : public RunAnswers {
public:
    explicit BatchAnswers(const BatchOptions& options) : options_(options) {}
    bool Accept(const RunQuestion& question) override
    {
        refusal_ = RefusalOf(question);
        return refusal_.isEmpty();
    }
    void ReportUnusable() override { Refuse(kInvalidValueText); }
    QString Refusal() const { return refusal_; }

private:
    QString RefusalOf(const RunQuestion& question) const
    {
        switch (question.kind) {
        case RunQuestion::PaperNotLetter:
            return QStringLiteral("the passes are laid out for US Letter, not %1").arg(question.paperName);
        case RunQuestion::DuplicateBarcodes: {
            if (options_.allowDuplicates)
                return QString();
            if (question.copies > 1)
                return QStringLiteral("%1 would print every barcode of this run %2 times; --allow-duplicates "
                                      "prints them anyway")
                    .arg(options_.copies ? QStringLiteral("-n %1").arg(question.copies)
                                         : QStringLiteral("%1 copies (the destination's options)").arg(question.copies))
                    .arg(question.copies);
            return DuplicateBarcodesFacts(question.duplicates)
                   + QStringLiteral("; --allow-duplicates prints them anyway");
        }
        case RunQuestion::PrintedBefore:
            return options_.allowReprint ? QString() : ReprintRefusal(question.earlier);
        }
        return QString();
    }

    const BatchOptions& options_;
    QString refusal_;
};

BatchResult PrintBatch(const BatchOptions& options, const BatchEnvironment& environment, QTextStream& err)
{
    const LabelValues label = LoadNamedLabelFile(options.labelFile);
    PrintRunRequest request;
    request.settings = LabelLayoutSettings(label);
    request.calibrationSheet = options.calibrationSheet;
    if (!options.calibrationSheet)
        request.rows = ReadRows(options, environment.startTime);
    const LabelHeadingStyle style(label.center, SystemHeadingFace(label.font));
    request.style = &style;
    request.bitmapPath = environment.bitmapPath;
    if (options.pages)
        request.sheets = *options.pages;
    request.startCell = options.startCell;
    request.drawingJobs = options.drawingJobs;
    request.outlineCells = options.outlineCells;

    const bool toQueue = !PdfToStandardOutput(options) && options.pdfFile.isEmpty();
    std::optional<PrintServerWatchdog> watchdog;
    if (toQueue)
        watchdog.emplace();
    else
        AskNoPrintServer();
    const QString queue = toQueue ? KnownQueue(options) : QString();
    QPrinter printer(QPrinter::HighResolution);
    PassStockJobOptions replaced;
    std::optional<StandardOutputPdf> toStandardOutput;
    if (PdfToStandardOutput(options))
        PreparePdfOutput(printer, toStandardOutput.emplace().path());
    else if (toQueue)
        replaced = PrepareQueueOutput(printer, options, queue);
    else
        PreparePdfOutput(printer, options.pdfFile);
    watchdog.reset();
    // Said of the destination's lpoptions as of -o: either would have moved the passes.
    for (const auto& [source, dropped] : {std::pair{"-o", &replaced.replacedCallerOptions},
                                          std::pair{"lpoptions", &replaced.replacedDestinationOptions}}) {
        for (const auto& [name, value] : *dropped) {
            const QString option = QString::fromLocal8Bit(value.isEmpty() ? name : name + '=' + value);
            err << QStringLiteral("tessary-print: %1 %2 is not sent: the passes are placed for US Letter, unscaled, "
                                  "one upright page a sheet, on one side")
                       .arg(QLatin1String(source), option)
                << Qt::endl;
        }
    }
    request.correction = options.correction.value_or(toQueue ? StoredCorrection(CorrectionOutputKey(printer))
                                                             : PrinterCorrection{});
    BatchRegister passRegister;
    // Reprints allowed, nothing is looked up.
    RunPlan plan = PlanRun(request, OutputChoiceOf(printer),
                           passRegister.On() && !options.allowReprint && !options.calibrationSheet ? &passRegister
                                                                                                   : nullptr);
    if (plan.refusal)
        RefusePlan(plan);
    BatchAnswers answers(options);
    if (options.calibrationSheet) {
        if (toStandardOutput)
            plan.request.deliverFile = [&toStandardOutput] { toStandardOutput->CopyOut(); };
        try {
            PrintPlanned(printer, plan, answers);
        } catch (const TessaryError& error) {
            if (error.kind() == ErrorKind::Refused)
                throw;
            throw TessaryError(error.text(), ErrorKind::Failed);  // no pass to leave pending
        }
        BatchResult result;
        if (toQueue)
            result.job = LastReleasedJobName();
        else if (!toStandardOutput)
            result.pdfPath = QFileInfo(options.pdfFile).absoluteFilePath();
        result.sheets = 1;
        return result;
    }
    PrintRunRequest& run = plan.request;
    run.recorder = passRegister.Recorder(options.allowReprint);

    // Progress is for somebody watching; a script reads the result instead.
    // Counted among the sheets that print: "1,3" is sheet 2 of 2 at sheet 3.
    const std::vector<int>& printedSheets = plan.placed.sheets;
    const int sheetCount = int(printedSheets.size());
    if (sheetCount > 1 && !options.quiet && environment.errIsTerminal) {
        run.sheetBegun = [&err, &printedSheets, sheetCount](int sheet) {
            const auto position = std::find(printedSheets.begin(), printedSheets.end(), sheet) - printedSheets.begin();
            err << QStringLiteral("sheet %1 of %2").arg(position + 1).arg(sheetCount) << Qt::endl;
        };
    }
    if (toStandardOutput) {
        run.deliverFile = [&toStandardOutput] { toStandardOutput->CopyOut(); };
        run.recordedOutputName = QStringLiteral("standard output");  // not the file it was staged in
    }
    // From here a stop signal ends the run on its own terms: nothing handed on
    // yet, the passes are withdrawn and any job cancelled; handed on, the run
    // records that and ends with the truth. That holds until the tool exits:
    // a signal after the run must not turn a printed run into "stopped".
    static const StopSignalsDeferred* const untilExit = new StopSignalsDeferred;  // never deleted
    Q_UNUSED(untilExit);
    run.stopRequested = [] { return StopSignalReceived() != 0; };
    run.abandonRequested = run.stopRequested;
    if (options.allowPartlyCovered)
        run.partlyReadAccepted = [](const QStringList&) { return true; };
    PrintRunResult printed;
    try {
        printed = PrintPlanned(printer, plan, answers);
    } catch (const PartlyReadBarcodesError& error) {
        Refuse(error.text() + QStringLiteral(" --allow-partly-covered prints them anyway"));
    } catch (const TessaryError& error) {
        // The status says a stop; the message would only repeat it.
        if (error.kind() == ErrorKind::Stopped)
            throw TessaryError(QString(), ErrorKind::Stopped, error.signal());
        // A script must be able to find the job that may be printing.
        const QString job = toQueue ? LastReleasedJobName() : QString();
        if (error.kind() == ErrorKind::MayHavePrinted && !job.isEmpty() && !error.text().contains(job))
            throw MayHavePrinted(QStringLiteral("%1 (request id is %2)").arg(error.text(), job));
        throw;
    }
    if (printed.declined)
        throw TessaryError(answers.Refusal(), ErrorKind::Declined);
    BatchResult result;
    if (toQueue) {
        result.job = LastReleasedJobName();
        result.heldUntil = LastReleasedJobHoldUntil();
        // Said even to a script: a job that does not print is not what a run is for.
        err << HeldJobLine(result);
    } else if (!toStandardOutput) {
        result.pdfPath = QFileInfo(options.pdfFile).absoluteFilePath();
    }
    result.sheets = printed.pagesEnded;
    result.passes = printed.distinctPassesDrawn;
    if (run.recorder)
        result.registerRun = run.recorder->RunId();
    return result;
}

}  // namespace

int RunBatch(const QStringList& arguments, const BatchEnvironment& environment, QTextStream& out,
             QTextStream& err)
{
    try {
        const BatchOptions options = ParseBatchOptions(arguments);
        if (options.help) {
            out << BatchHelpText();
            out.flush();
            return kExitDone;
        }
        if (options.version) {
            out << BatchVersionText();
            out.flush();
            return kExitDone;
        }
        const BatchResult result = PrintBatch(options, environment, err);
        if (options.json)
            out << ResultJsonLine(result);
        else if (!options.quiet)
            out << RequestIdLine(result);
        out.flush();
        return kExitDone;
    } catch (const TessaryError& error) {
        if (!error.text().isEmpty())
            err << QStringLiteral("tessary-print: ") << error.text() << Qt::endl;
        return ExitStatusOf(error);
    }
}
