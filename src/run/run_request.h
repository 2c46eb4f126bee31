#pragma once

#include "fonts/heading_style_source.h"
#include "passes/pass_list.h"
#include "passes/run_passes.h"
#include "passes/sheet_range.h"
#include "sheet/layout_settings.h"
#include "sheet/printer_correction.h"
#include "verify/barcode_check_mode.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class RunRecorder;

// How far a run has come, for a person watching it.
struct RunProgress {
    enum Stage { Drawing, HandingOn };
    Stage stage = Drawing;
    int pagesDrawn = 0;  // pages of the document drawn so far, their barcodes checked as they go
    int pagesTotal = 0;
};

// What a caller asks of one run, before it is planned (PlanRun): the layout,
// a snapshot of the pass list, the run's choices, and the hooks through which
// the run reports and is stopped while it prints.
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
    BarcodeCheck barcodeCheck = BarcodeCheck::StopRun;  // every pass's barcode read back from its sheet
    RunRecorder* recorder = nullptr;  // keeps account of the passes handed on; none: not recorded
    // What the record names the output; "": the file's absolute name, or the queue.
    QString recordedOutputName;

    // With drawingJobs above 1, a run longer than one document is cut into
    // documents of at most pagesPerDocument pages, drawn and checked at once
    // by that many workers and joined, in order, into the one PDF the file or
    // queue gets. Otherwise (the default) it is drawn page by page.
    int drawingJobs = 0;
    int pagesPerDocument = 50;

    std::function<bool()> stopRequested;
    // Heard on the caller's thread as pages are drawn and as the run hands on.
    std::function<void(const RunProgress&)> progressed;
    std::function<void(int sheet)> sheetBegun;
    std::function<void(const QString& barcodeText)> passDrawn;
    // When set, a page of the document for which it answers false (pages
    // counted from 1) is kept but left empty: the preview draws only the
    // pages near the one in view.
    std::function<bool(int page)> fillPage;
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
    int passesDrawn = 0;          // over all copies
    int distinctPassesDrawn = 0;  // the run's passes the document holds at least once
    int pagesEnded = 0;           // pages the document holds
    QStringList partlyRead;       // pass numbers whose barcodes read only in part
    bool declined = false;        // a question was answered no, or the partly read passes refused: nothing handed on
};
