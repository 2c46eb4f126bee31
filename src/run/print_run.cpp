#include "run/print_run.h"

#include "draw/calibration_sheet.h"
#include "draw/print_document.h"
#include "output/queue_job.h"
#include "output/run_outcome.h"
#include "output/staged_pdf.h"
#include "passes/run_passes.h"
#include "passes/run_recorder.h"
#include "passes/valid_on_stamp.h"
#include "sheet/sheet_geometry.h"
#include "verify/partly_read_passes.h"
#include "verify/run_barcode_check.h"

#include <QFile>
#include <QDebug>
#include <QFileInfo>
#include <QPageRanges>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <set>

namespace {

// The run's PDF, written through the staged file's own handle with exactly
// the page of the chosen output: same paper, margins and resolution, no title.
// The writer has no colour mode of its own; a grey-scale output loses nothing,
// since a run draws only black on white, which grey-scale PDFs write alike.
PrintRunResult DrawIntoStagedFile(const QPrinter& printer, const StagedPdf& staged, const PrintRunRequest& request,
                                  const std::function<void()>& reportUnusable)
{
    QFile file;
    if (!file.open(staged.handle(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        throw TessaryError(staged.WriteErrorText());
    QPdfWriter writer(&file);
    writer.setResolution(printer.resolution());
    writer.setPageLayout(printer.pageLayout());
    writer.setCreator(printer.creator());
    writer.setTitle(QString());
    try {
        return DrawRun(writer, request, reportUnusable);
    } catch (const OutputFileError&) {
        // Named after the file the operator chose, not the hidden one beside it.
        throw TessaryError(staged.WriteErrorText());
    }
}

}  // namespace

QString QuantityRangeMessage() { return QStringLiteral("Quantity must be 1 to %1").arg(kMostPassesOfARow); }

void CheckQuantitiesInRange(const std::vector<PassListRow>& rows)
{
    for (const PassListRow& row : rows) {
        if (row.quantity() > kMostPassesOfARow)
            throw TessaryError(QuantityRangeMessage());
    }
}

void CheckStampsDecode(const std::vector<PassListRow>& rows)
{
    for (const PassListRow& row : rows) {
        if (row.quantity() >= 1)
            DecodeValidOnStamp(row.validOnStamp);
    }
}

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

int RunSheetCount(const PrintRunRequest& request)
{
    return SheetsNeeded(request.rows, request.settings.cols, request.settings.rows, request.startCell);
}

int SheetsInRange(const PrintRunRequest& request)
{
    const int last = std::min(RunSheetCount(request), request.sheets.last);
    int count = 0;
    for (int sheet = std::max(1, request.sheets.first); sheet <= last; ++sheet)
        count += request.sheets.Contains(sheet) ? 1 : 0;
    return count;
}

std::vector<RunPass> RequestedPasses(const PrintRunRequest& request)
{
    return RunPasses(request.rows, request.settings.cols, request.settings.rows, request.startCell, request.sheets);
}

namespace {

int RowsLaidOut(const PrintRunRequest& request)
{
    return request.calibrationSheet ? 1 : int(request.rows.size());
}

}  // namespace

bool RunLayoutUsable(const PrintRunRequest& request, int dpiX, int dpiY)
{
    return LayoutUsable(RowsLaidOut(request), request.settings,
                        ComputeSheetGeometry(request.settings, dpiX, dpiY, request.correction));
}

PrintRunResult DrawRun(QPagedPaintDevice& device, const PrintRunRequest& request,
                       const std::function<void()>& reportUnusable)
{
    PrintRunResult result;
    PrintDocument document(device);
    PainterSurface& surface = document.surface();
    const SheetGeometry geometry =
        ComputeSheetGeometry(request.settings, surface.dpiX(), surface.dpiY(), request.correction);
    result.pagesEnded = 1;
    if (!LayoutUsable(RowsLaidOut(request), request.settings, geometry)) {
        result.layoutUsable = false;
        if (reportUnusable)
            reportUnusable();
        document.end();
        return result;
    }
    if (request.calibrationSheet) {
        DrawCalibrationSheet(surface, geometry, request.settings);
        document.end();
        return result;
    }
    const PassPlacement placement{geometry, request.settings, *request.style, request.bitmapPath};
    RunBarcodeCheck check(document, request.barcodeCheck, request.sheetChecked);
    WalkControl control;
    control.newPage = [&document, &result, &check] {
        check.SheetDone();
        document.newPage();
        ++result.pagesEnded;
    };
    control.stopRequested = request.stopRequested;
    control.sheets = request.sheets;
    control.startCell = request.startCell;
    control.outlineCells = request.outlineCells;
    // Copies walk the run's sheets again, each in order: the passes drawn
    // while a sheet is drawn the first time are the passes the document holds.
    std::set<int> sheetsDrawn;
    bool firstTimeOnSheet = false;
    control.sheetBegun = [&request, &check, &sheetsDrawn, &firstTimeOnSheet](int sheet) {
        firstTimeOnSheet = sheetsDrawn.insert(sheet).second;
        check.SheetBegun(sheet);
        if (request.sheetBegun)
            request.sheetBegun(sheet);
    };
    control.fillSheet = request.fillSheet;
    control.passDrawn = [&request, &result, &firstTimeOnSheet](const QString& text) {
        result.distinctPassesDrawn += firstTimeOnSheet ? 1 : 0;
        if (request.passDrawn)
            request.passDrawn(text);
    };
    control.passPlaced = [&check](const QString& text, const QRect& cellPx) { check.PassPlaced(text, cellPx); };
    result.passesDrawn = WalkCopies(check.surface(), placement, request.rows, control, request.copies);
    check.RunDone();
    result.partlyRead = check.PartlyRead();
    result.partlyRead.removeDuplicates();  // copies draw a pass again
    document.end();
    return result;
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
    // Nobody can tell whether the sheets went out: the passes stay pending.
    [[noreturn]] void KeepPending(const MayHavePrinted& error)
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
void HandOnToQueue(const QPrinter& printer, const StagedPdf& staged, const PrintRunRequest& request)
{
    HeldQueueJob job(printer);
    try {
        job.SendDocument(staged.path());
        ThrowIfAbandoned(request);
    } catch (const TessaryError&) {
        job.Cancel();
        throw;
    }
    job.Release();
}

}  // namespace

PrintRunResult PrintRun(QPrinter& printer, const PrintRunRequest& request,
                        const std::function<void()>& reportUnusable)
{
    CheckQuantitiesInRange(request.rows);
    const bool usable = RunLayoutUsable(request, printer.logicalDpiX(), printer.logicalDpiY());
    if (usable && !request.calibrationSheet) {
        CheckStampsDecode(request.rows);
        if (SheetsInRange(request) == 0) {
            PrintRunResult nothing;
            nothing.nothingInRange = true;
            return nothing;
        }
    }
    ThrowIfAbandoned(request);
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    // An unusable layout prints one empty page: no pass to account for.
    const bool recording = usable && !request.calibrationSheet;
    RecordedRun recorded(recording ? request.recorder : nullptr);
    if (recording) {
        RunOutput output{toFile,
                         !request.recordedOutputName.isEmpty() ? request.recordedOutputName
                         : toFile                              ? QFileInfo(printer.outputFileName()).absoluteFilePath()
                                                               : printer.printerName(),
                         CorrectionText(request.correction)};
        output.copies = printer.copyCount();
        recorded.Reserve(RequestedPasses(request), output);
    }
    StagedPdf staged = toFile ? StagedPdf::BesideFile(printer.outputFileName()) : StagedPdf::InTemporaryFolder();

    PrintRunRequest run = request;
    if (toFile)
        run.copies = RunCopies{printer.copyCount(), printer.collateCopies()};
    PrintRunResult result = DrawIntoStagedFile(printer, staged, run, reportUnusable);
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
    try {
        if (!toFile) {
            HandOnToQueue(printer, staged, request);
        } else {
            staged.MoveIntoPlace();
            if (request.deliverFile)
                request.deliverFile();
        }
    } catch (const MayHavePrinted& error) {
        recorded.KeepPending(error);
    }
    recorded.Confirm(result.distinctPassesDrawn);
    return result;
}
