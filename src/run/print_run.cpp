#include "run/print_run.h"

#include "common/removed_on_termination.h"
#include "common/replacement_file.h"
#include "draw/print_document.h"
#include "output/queue_job.h"
#include "run/documents_at_once.h"
#include "common/stop_signal.h"
#include "common/tessary_error.h"
#include "output/staged_pdf.h"
#include "passes/earlier_issues.h"
#include "passes/run_recorder.h"
#include "verify/partly_read_passes.h"

#include <QFile>
#include <QDebug>
#include <QFileInfo>
#include <QPageRanges>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

namespace {

// Whether a run is drawn as documents at once: only when drawingJobs asks
// for more than one worker and the run is longer than one document.
bool DrawnInDocuments(const RunPlan& plan)
{
    const PrintRunRequest& request = plan.request;
    return request.drawingJobs > 1 && plan.usable && !request.calibrationSheet
           && CutIntoDocuments(plan.pages.size(), request.pagesPerDocument).size() > 1;
}

// The request's hooks, with the pages drawn counted for whoever watches progress.
PageSpanHooks CountingHooks(const RunPlan& plan, int& pagesDrawn)
{
    PageSpanHooks hooks = RequestHooks(plan.request);
    const PrintRunRequest& request = plan.request;
    if (!request.progressed)
        return hooks;
    const int total = int(plan.pages.size());
    hooks.sheetBegun = [&request, &pagesDrawn, total](int sheet) {
        if (request.sheetBegun)
            request.sheetBegun(sheet);
        request.progressed(RunProgress{RunProgress::Drawing, ++pagesDrawn, total});
    };
    return hooks;
}

// The run's PDF, written through the staged file's own handle with exactly
// the page of the chosen output: same paper, margins and resolution, no title.
// The writer has no colour mode of its own; a grey-scale output loses nothing,
// since a run draws only black on white, which grey-scale PDFs write alike.
PrintRunResult DrawIntoStagedFile(const QPrinter& printer, const StagedPdf& staged, const RunPlan& plan,
                                  const std::function<void()>& reportUnusable)
{
    QFile file;
    if (!file.open(staged.handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        throw TessaryError(staged.WriteErrorText());
    if (DrawnInDocuments(plan)) {
        const QTemporaryDir folder(RunTemporaryFolderTemplate());
        if (!folder.isValid())
            throw TessaryError(staged.WriteErrorText());
        const RemovedOnTermination folderGuard(folder.path());
        return DrawDocumentsAtOnce(plan, printer.pageLayout(), {printer.resolution(), printer.creator()},
                                   folder.path(), file, staged.WriteErrorText());
    }
    QPdfWriter writer(&file);
    writer.setResolution(printer.resolution());
    writer.setPageLayout(printer.pageLayout());
    writer.setCreator(printer.creator());
    writer.setTitle(QString());
    int pagesDrawn = 0;
    try {
        return DrawRun(writer, plan, reportUnusable, CountingHooks(plan, pagesDrawn));
    } catch (const OutputFileError&) {
        // Named after the file the operator chose, not the hidden one beside it.
        throw TessaryError(staged.WriteErrorText());
    }
}

}  // namespace

// The staging printer draws exactly what the chosen output would: same paper,
// margins, resolution and colour mode (a grey-scale queue gets a grey PDF from
// Qt), on an engine that holds no state from earlier runs.
void CopyPageSetup(const QPrinter& from, QPrinter& to)
{
    to.setResolution(from.resolution());
    to.setColorMode(from.colorMode());
    to.setFullPage(from.fullPage());
    to.setPageLayout(from.pageLayout());
    to.setDocName(QString());
}

SheetRange ChosenSheetRange(const QPrinter& printer)
{
    SheetRange range;
    if (printer.printRange() != QPrinter::PageRange)
        return range;
    const QPageRanges pages = printer.pageRanges();
    if (!pages.isEmpty()) {
        range.first = pages.firstPage();
        range.last = pages.lastPage();
        for (const QPageRanges::Range& piece : pages.toRangeList())
            range.pieces.emplace_back(piece.from, piece.to);
    } else if (printer.fromPage() >= 1) {
        range.first = printer.fromPage();
        range.last = std::max(printer.fromPage(), printer.toPage());
    }
    return range;
}

namespace {

// "<text>. Its passes stay pending in the register as run <id>, and later runs
// ask before printing them again."
QString PendingNote(const QString& text, const QString& runId)
{
    if (runId.isEmpty())
        return text;
    return QStringLiteral("%1. Its passes stay pending in the register as run %2, and later runs ask before "
                          "printing them again")
        .arg(text, runId);
}

// The recorder's side of one run: whatever ends the run before Confirm hands
// nothing on, so the reserved passes are withdrawn, unless the run says its
// sheets may have gone out.
class RecordedRun {
public:
    explicit RecordedRun(RunRecorder* recorder) : recorder_(recorder) {}
    RecordedRun(const RecordedRun&) = delete;
    RecordedRun& operator=(const RecordedRun&) = delete;
    ~RecordedRun()
    {
        if (!reserved_)
            return;
        try {
            recorder_->Withdraw();
        } catch (const std::exception& error) {
            // The run's own error is on its way to the operator; the passes
            // stay pending, which every later run reports as "may have printed".
            qWarning().noquote() << PendingNote(QString::fromStdString(error.what()), recorder_->RunId());
        }
    }
    void Reserve(const std::vector<RunPass>& passes, const RunOutput& output)
    {
        if (!recorder_)
            return;
        recorder_->Reserve(passes, output);
        reserved_ = true;
    }
    // The sheets went out: a register that cannot say so leaves them pending.
    void Confirm(qint64 handedOn)
    {
        if (!reserved_)
            return;
        reserved_ = false;
        try {
            recorder_->Confirm(handedOn);
        } catch (const TessaryError& error) {
            throw MayHavePrinted(PendingNote(QStringLiteral("The sheets were handed on, but not recorded: %1")
                                                 .arg(error.text()),
                                             recorder_->RunId()));
        }
    }
    // The job's name helps whoever looks for a run left pending; a register
    // that cannot take it is said, and the run goes on: whether the sheets
    // are recorded as handed on is Confirm's to tell.
    void NoteJob(const QString& job, const QString& server)
    {
        if (!reserved_)
            return;
        try {
            recorder_->NoteJob(job, server);
        } catch (const TessaryError& error) {
            qWarning().noquote() << error.text();
        }
    }
    // Nobody can tell whether the sheets went out: the passes stay pending.
    [[noreturn]] void KeepPending(const TessaryError& error)
    {
        reserved_ = false;
        throw MayHavePrinted(PendingNote(error.text(), recorder_ ? recorder_->RunId() : QString()));
    }

private:
    RunRecorder* recorder_;
    bool reserved_ = false;
};

void ThrowIfAbandoned(const PrintRunRequest& request)
{
    if (request.abandonRequested && request.abandonRequested())
        throw RunStopped();
}

// The job is held until its whole document is in, so a failure or a stop
// before the release prints nothing: the job is cancelled. Cancel throws
// MayHavePrinted when the scheduler does not take the cancellation.
void HandOnToQueue(const QPrinter& printer, const StagedPdf& staged, const PrintRunRequest& request,
                   const std::function<void(const HeldQueueJob&)>& jobMade)
{
    HeldQueueJob job(printer);
    try {
        jobMade(job);
        job.SendDocument(staged.path());
        ThrowIfAbandoned(request);
    } catch (const TessaryError&) {
        job.Cancel();
        throw;
    }
    job.Release();
}

}  // namespace

PrintRunResult PrintPlanned(QPrinter& printer, const RunPlan& plan, RunAnswers& answers)
{
    const PrintRunRequest& request = plan.request;
    if (plan.refusal && plan.refusal->kind != RunRefusal::LayoutUnusable)
        throw TessaryError(plan.refusal->text);
    // An unusable layout prints one empty page, a calibration sheet its
    // rulers: no pass to ask about or account for.
    const bool recording = plan.usable && !request.calibrationSheet;
    RunRecorder* const recorder = recording ? request.recorder : nullptr;
    PrintRunResult declined;
    declined.declined = true;
    if (recording) {
        for (const RunQuestion& question : plan.questions) {
            if (!answers.Accept(question))
                return declined;
            if (question.kind == RunQuestion::PrintedBefore && recorder)
                recorder->AllowAgain(question.earlier.keys);
        }
    }
    ThrowIfAbandoned(request);
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    RecordedRun recorded(recorder);
    if (recorder) {
        RunOutput output{toFile,
                         !request.recordedOutputName.isEmpty() ? request.recordedOutputName
                         : toFile                              ? QFileInfo(printer.outputFileName()).absoluteFilePath()
                                                               : printer.printerName(),
                         CorrectionText(request.correction)};
        output.copies = printer.copyCount();
        // Another desk may take some of the passes between the question and
        // the run: then the operator is asked about those as well.
        for (;;) {
            try {
                recorded.Reserve(plan.placed.passes, output);
                break;
            } catch (const PassesIssuedMeanwhile& meanwhile) {
                if (!answers.Accept(PrintedBeforeQuestion(meanwhile.found())))
                    return declined;
                recorder->AllowAgain(meanwhile.found().keys);
            }
        }
    }
    StagedPdf staged = toFile ? StagedPdf::BesideFile(printer.outputFileName()) : StagedPdf::InTemporaryFolder();
    PrintRunResult result =
        DrawIntoStagedFile(printer, staged, plan, [&answers] { answers.ReportUnusable(); });
    staged.CheckComplete(result.pagesEnded);
    ThrowIfAbandoned(request);
    if (!result.partlyRead.isEmpty()) {
        if (!request.partlyReadAccepted)
            throw PartlyReadBarcodesError(result.partlyRead);
        if (!request.partlyReadAccepted(result.partlyRead)) {
            result.declined = true;
            return result;  // the staged file goes, the passes are withdrawn
        }
        ThrowIfAbandoned(request);
    }
    if (request.progressed)
        request.progressed(RunProgress{RunProgress::HandingOn, result.pagesEnded, result.pagesEnded});
    try {
        if (!toFile) {
            HandOnToQueue(printer, staged, request, [&recorded](const HeldQueueJob& job) {
                recorded.NoteJob(job.Name(), HeldQueueJob::Server());
            });
        } else {
            staged.MoveIntoPlace();
            if (request.deliverFile)
                request.deliverFile();
        }
    } catch (const TessaryError& error) {
        if (error.kind() != ErrorKind::MayHavePrinted)
            throw;
        recorded.KeepPending(error);
    }
    recorded.Confirm(result.distinctPassesDrawn);
    return result;
}
