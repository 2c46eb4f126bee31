#pragma once

#include "draw/pass_walk.h"
#include "passes/pass_list.h"
#include "passes/run_pass.h"
#include "run/run_copies.h"
#include "sheet/layout_settings.h"
#include "sheet/printer_correction.h"
#include "verify/barcode_check_mode.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class QPagedPaintDevice;
class QPrinter;
class RunRecorder;

// Everything one print run draws, whoever asks for it: the window, the batch
// tool, the preview and the benchmark all print through PrintRun or DrawRun.
struct PrintRunRequest {
    LayoutSettings settings;
    std::vector<PassListRow> rows;
    const HeadingStyleSource* style = nullptr;
    QString bitmapPath;
    SheetRange sheets;           // as counted in a full run
    int startCell = 1;           // first cell of sheet 1 that takes a pass
    bool outlineCells = false;   // frame every cell, for alignment on plain paper
    // The chosen output's own offset and scale: every position the run draws
    // goes through it (the sheet check and the preview see what is drawn).
    PrinterCorrection correction;
    // One page of rulers and cell outlines to line the output up with, in
    // place of the passes: no row is needed and nothing is recorded.
    bool calibrationSheet = false;
    RunCopies copies;            // drawn into the document; PrintRun sets them for a file
    std::function<bool()> stopRequested;
    std::function<void(int sheet)> sheetBegun;
    std::function<void(const QString& barcodeText)> passDrawn;
    // When set, a sheet of the range for which it answers false keeps its page but
    // is left empty (the preview draws only the sheets near the one in view).
    std::function<bool(int sheet)> fillSheet;
    RunRecorder* recorder = nullptr;  // keeps account of the passes handed on; none: not recorded
    // What the record names the output; "": the file's absolute name, or the queue.
    QString recordedOutputName;
    BarcodeCheck barcodeCheck = BarcodeCheck::StopRun;  // every pass's barcode read back from its sheet
    std::function<void(int sheet, SheetLegibility)> sheetChecked;  // MarkSheet only
    // Asked, once the whole run is drawn and before anything is handed on, about
    // the passes whose barcodes read only in part (their numbers): true prints
    // them, false ends the run with nothing handed on. None: the run throws
    // PartlyReadBarcodesError instead of asking.
    std::function<bool(const QStringList& passNumbers)> partlyReadAccepted;
    // Asked until the run hands on: true stops it with nothing handed on and
    // throws RunStopped (a stop signal), where stopRequested hands on the
    // sheets drawn (the operator's Abort).
    std::function<bool()> abandonRequested;
    // For a file: hands the file on once it is in place (copies it to standard
    // output). The passes are confirmed only when it returns; it throws
    // MayHavePrinted when part of the file went out.
    std::function<void()> deliverFile;
};

struct PrintRunResult {
    bool layoutUsable = true;
    bool nothingInRange = false;  // no sheet of the range has a pass: no document was made
    int passesDrawn = 0;          // over all copies
    int distinctPassesDrawn = 0;  // the run's passes the document holds at least once
    int pagesEnded = 0;           // pages the document holds
    QStringList partlyRead;       // pass numbers whose barcodes read only in part
    bool declined = false;        // the operator would not print them: nothing was handed on
};

// The sheets the print dialog's page range chose on the printer: "All", "Pages
// from .. to ..", or a list of pages.
SheetRange ChosenSheetRange(const QPrinter& printer);

// Sheets a full run of the request fills (the start cell counted).
int RunSheetCount(const PrintRunRequest& request);

// How many of the sheets a full run fills lie within the request's range.
int SheetsInRange(const PrintRunRequest& request);

// The passes the request prints, each where it lands (RunPasses): the one
// placement that the duplicate check, the register and the sheet counts read.
std::vector<RunPass> RequestedPasses(const PrintRunRequest& request);

// A row that cannot be numbered would stop a run half way; this finds it before
// anything is begun, throwing the error its stamp gives.
void CheckStampsDecode(const std::vector<PassListRow>& rows);

// The quantity has two digits: a pass's number is its row's serial plus at most
// 98, and larger quantities would run into the numbers of later instants.
// Throws "Quantity must be 1 to 99" for a row above that. Rows below 1 print
// nothing and are left to the caller.
void CheckQuantitiesInRange(const std::vector<PassListRow>& rows);
QString QuantityRangeMessage();

// Gives a printer that draws a run (the staging PDF, the preview) exactly the
// page of the chosen output: same paper, margins and resolution, no document name.
void CopyPageSetup(const QPrinter& from, QPrinter& to);

// Whether the layout of the request can be laid out at this resolution (a
// calibration sheet needs no rows).
bool RunLayoutUsable(const PrintRunRequest& request, int dpiX, int dpiY);

// Draws the run onto a printer that is ready for it (a preview), or a PDF
// writer on a file of the run's own, from beginning the document to ending it. When the layout is
// unusable, reportUnusable is called and a document of one empty page is ended.
// Every sheet is checked as the request's barcodeCheck says.
PrintRunResult DrawRun(QPagedPaintDevice& device, const PrintRunRequest& request,
                       const std::function<void()>& reportUnusable);

// A whole run to the output the printer names, all or nothing: the sheets go into
// a PDF of the run's own, which is handed on (renamed into place for a file,
// submitted for a queue) only once it has ended complete. A file holds the
// copies the printer asks for; a queue is asked for them. Before anything is
// begun, every row's stamp must decode and the recorder, if any, must have taken
// the run's passes as pending; they are confirmed once handed on and withdrawn
// when the run fails. Throws on any failure, leaving no job and no file behind,
// except MayHavePrinted: the sheets went out or may have, and the passes stay
// pending under the run's id, which the text names.
PrintRunResult PrintRun(QPrinter& printer, const PrintRunRequest& request,
                        const std::function<void()>& reportUnusable);
