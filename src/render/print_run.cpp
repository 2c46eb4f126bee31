#include "render/print_run.h"

#include "passes/valid_on_stamp.h"
#include "render/print_document.h"
#include "render/queue_job.h"
#include "render/run_barcode_check.h"
#include "render/sheet_geometry.h"
#include "render/staged_pdf.h"

#include <QPageRanges>
#include <QPrinter>
#include <algorithm>

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

PrintRunResult DrawRun(QPrinter& printer, const PrintRunRequest& request,
                       const std::function<void()>& reportUnusable)
{
    PrintRunResult result;
    PrintDocument document(printer);
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
    control.passDrawn = request.passDrawn;
    control.passPlaced = [&check](const QString& text, const QRect& cellPx) { check.PassPlaced(text, cellPx); };
    result.passesDrawn = WalkPasses(check.surface(), placement, request.rows, control);
    check.RunDone();
    document.end();
    return result;
}

PrintRunResult PrintRun(QPrinter& printer, const PrintRunRequest& request,
                        const std::function<void()>& reportUnusable)
{
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
    StagedPdf staged = toFile ? StagedPdf::BesideFile(printer.outputFileName()) : StagedPdf::InTemporaryFolder();

    PrintRunResult result;
    {
        QPrinter stagingPrinter(QPrinter::HighResolution);
        stagingPrinter.setOutputFormat(QPrinter::PdfFormat);
        stagingPrinter.setOutputFileName(staged.path());
        CopyPageSetup(printer, stagingPrinter);
        try {
            result = DrawRun(stagingPrinter, request, reportUnusable);
        } catch (const OutputFileError&) {
            // Named after the file the operator chose, not the hidden one beside it.
            throw TessaryError(staged.WriteErrorText());
        }
    }
    staged.CheckComplete(result.pagesEnded);
    if (toFile)
        staged.MoveIntoPlace();
    else
        SubmitPdfToQueue(printer, staged.path());
    return result;
}
