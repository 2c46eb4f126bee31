#pragma once

#include "passes/duplicate_barcodes.h"
#include "passes/earlier_issues.h"
#include "passes/run_passes.h"
#include "run/run_request.h"
#include "sheet/sheet_geometry.h"

#include <QPageSize>
#include <QString>
#include <optional>
#include <vector>

class QPrinter;

// What a run that holds nothing to print, or cannot be laid out, is refused with.
inline const QString kNoQuantityText = QStringLiteral("Nothing to print: no row has a quantity.");
inline const QString kNoSheetInRangeText =
    QStringLiteral("Nothing to print: the page range holds no sheet of this run.");
inline const QString kInvalidValueText = QStringLiteral("Invalid value, fix and retry...");

// "Quantity must be 1 to 99": a pass's number is its row's serial plus at most
// 98, and larger quantities would run into the numbers of later instants.
QString QuantityRangeMessage();

// Where the run goes, as far as planning it needs to know.
struct RunOutputChoice {
    bool toFile = true;
    int dpiX = 0;
    int dpiY = 0;
    QPageSize paper = QPageSize(QPageSize::Letter);
    RunCopies copies;  // as asked for: a file holds them itself, a queue makes its own from one
};

// The output a printer names (file or queue), at its resolution, paper and copies.
RunOutputChoice OutputChoiceOf(const QPrinter& printer);

// Why a run prints nothing at all. Checked in this order; the first found is the one.
struct RunRefusal {
    enum Kind { QuantityOverLimit, StampInvalid, LayoutUnusable, StartCellBeyondSheet, NoQuantity, NoSheetInRange };
    Kind kind;
    QString text;
    int row = 0;  // the entry row at fault, from 1; 0 when no one row is
};

// What the operator must agree to before the run prints, asked in this order.
struct RunQuestion {
    enum Kind { PaperNotLetter, DuplicateBarcodes, PrintedBefore };
    Kind kind;
    QString question;   // the window's words
    QString boxName;    // the object name of the window's box
    QString paperName = {};              // PaperNotLetter: the paper chosen
    ::DuplicateBarcodes duplicates = {};  // DuplicateBarcodes among the passes: the first pair
    int copies = 1;                      // DuplicateBarcodes by copies: how many
    EarlierIssues earlier = {};          // PrintedBefore
};

// One run, planned once: the layout computed at the output's resolution, every
// pass placed once, and what must be refused or asked before anything is drawn.
struct RunPlan {
    PrintRunRequest request;
    RunOutputChoice output;
    SheetGeometry geometry;
    bool usable = false;         // the layout can be laid out at the output's resolution
    PlacedPasses placed;         // the passes of the sheets that print
    std::vector<int> pages;      // the sheet each page of the document holds, copies included
    std::optional<RunRefusal> refusal;
    std::vector<RunQuestion> questions;
};

// Plans a run: refusals first (quantity 1 to 99, stamps, layout usable, start
// cell, nothing to print), then the questions (paper not Letter, duplicate
// barcodes among the passes that print or made by copies, passes printed
// before, when lookup is given). A refused plan has no questions. Throws only
// as the lookup does.
RunPlan PlanRun(const PrintRunRequest& request, const RunOutputChoice& output, IssuedPassLookup* lookup = nullptr);

// The printed-before question about passes the register already holds.
RunQuestion PrintedBeforeQuestion(const EarlierIssues& earlier);

// Sheets a full run of the request's rows fills, its start cell counted: what
// a print dialog offers as its pages.
int SheetsOfFullRun(const PrintRunRequest& request);
