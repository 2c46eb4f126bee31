#include "render/print_run.h"

#include "passes/valid_on_stamp.h"
#include "render/print_document.h"
#include "passes/run_recorder.h"
#include "render/queue_job.h"
#include "render/run_passes.h"
#include "render/run_barcode_check.h"
#include "render/sheet_geometry.h"
#include "render/staged_pdf.h"

#include <QFile>
#include <QDebug>
#include <QFileInfo>
#include <QPageRanges>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

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

std::pair<qint64, qint64> RunPassWindow(const PrintRunRequest& request)
{
    const int cols = request.settings.cols;
    const int rowsDown = request.settings.rows;
    if (cols < 1 || rowsDown < 1)
        return {0, 0};
    const qint64 cells = qint64(cols) * rowsDown;
    const qint64 skipped = CellsSkippedOnFirstSheet(request.startCell, cells);
    const qint64 total = TotalPasses(request.rows);
    const qint64 first = std::clamp<qint64>((qint64(std::max(1, request.sheets.first)) - 1) * cells - skipped, 0, total);
    const qint64 end = std::clamp<qint64>(qint64(request.sheets.last) * cells - skipped, first, total);
    return {first, end};
}

bool RunLayoutUsable(const PrintRunRequest& request, int dpiX, int dpiY)
{
    return LayoutUsable(int(request.rows.size()), request.settings,
                        ComputeSheetGeometry(request.settings, dpiX, dpiY));
}

PrintRunResult DrawRun(QPagedPaintDevice& device, const PrintRunRequest& request,
                       const std::function<void()>& reportUnusable)
{
    PrintRunResult result;
    PrintDocument document(device);
    PainterSurface& surface = document.surface();
    const SheetGeometry geometry = ComputeSheetGeometry(request.settings, surface.dpiX(), surface.dpiY());
    result.pagesEnded = 1;
    if (!LayoutUsable(int(request.rows.size()), request.settings, geometry)) {
        result.layoutUsable = false;
        if (reportUnusable)
            reportUnusable();
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
    control.sheetBegun = [&request, &check](int sheet) {
        check.SheetBegun(sheet);
        if (request.sheetBegun)
            request.sheetBegun(sheet);
    };
    control.fillSheet = request.fillSheet;
    control.passDrawn = request.passDrawn;
    control.passPlaced = [&check](const QString& text, const QRect& cellPx) { check.PassPlaced(text, cellPx); };
    result.passesDrawn = WalkCopies(check.surface(), placement, request.rows, control, request.copies);
    check.RunDone();
    document.end();
    return result;
}

namespace {

// The recorder's side of one run: whatever ends the run before Confirm hands
// nothing on, so the reserved passes are withdrawn.
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
            // The run's own error is on its way to the operator; the passes stay
            // pending, which every later run reports as "may have printed".
            qWarning().noquote() << error.what();
        }
    }
    void Reserve(const PrintRunRequest& request, const RunOutput& output)
    {
        if (!recorder_)
            return;
        recorder_->Reserve(RunPasses(request), output);
        reserved_ = true;
    }
    void Confirm(qint64 handedOn)
    {
        if (!reserved_)
            return;
        reserved_ = false;
        recorder_->Confirm(handedOn);
    }

private:
    RunRecorder* recorder_;
    bool reserved_ = false;
};

}  // namespace

PrintRunResult PrintRun(QPrinter& printer, const PrintRunRequest& request,
                        const std::function<void()>& reportUnusable)
{
    CheckQuantitiesInRange(request.rows);
    const bool usable = RunLayoutUsable(request, printer.logicalDpiX(), printer.logicalDpiY());
    if (usable) {
        CheckStampsDecode(request.rows);
        if (SheetsInRange(request) == 0) {
            PrintRunResult nothing;
            nothing.nothingInRange = true;
            return nothing;
        }
    }
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    // An unusable layout prints one empty page: no pass to account for.
    RecordedRun recorded(usable ? request.recorder : nullptr);
    recorded.Reserve(request, RunOutput{toFile, toFile ? QFileInfo(printer.outputFileName()).absoluteFilePath()
                                                       : printer.printerName()});
    StagedPdf staged = toFile ? StagedPdf::BesideFile(printer.outputFileName()) : StagedPdf::InTemporaryFolder();

    PrintRunRequest run = request;
    if (toFile)
        run.copies = RunCopies{printer.copyCount(), printer.collateCopies()};
    const PrintRunResult result = DrawIntoStagedFile(printer, staged, run, reportUnusable);
    staged.CheckComplete(result.pagesEnded);
    if (toFile)
        staged.MoveIntoPlace();
    else
        SubmitPdfToQueue(printer, staged.path());
    recorded.Confirm(result.passesDrawn);
    return result;
}
