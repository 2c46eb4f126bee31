#pragma once

#include "run/run_plan.h"
#include "run/run_request.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <vector>

class QPagedPaintDevice;

// What a span of the plan's pages reports while it is drawn; any may be unset.
struct PageSpanHooks {
    std::function<bool()> stopRequested;
    std::function<void(int sheet)> sheetBegun;
    std::function<void(const QString& barcodeText)> passDrawn;
    std::function<bool(int page)> fillPage;  // pages counted from 1 over the whole plan
    std::function<void(int sheet, SheetLegibility)> sheetChecked;
};

// A page as drawn: the sheet it holds and how many of that sheet's passes are on it.
struct DrawnPage {
    int sheet = 0;
    int passes = 0;
};

struct PageSpanResult {
    PrintRunResult result;         // distinctPassesDrawn left to the caller: copies may lie in other spans
    std::vector<DrawnPage> pages;  // every page the document holds, in order
    bool stopped = false;          // stopRequested ended the span, between pages or after a pass
};

// Draws pages [firstPage, endPage) of a usable plan as one document, from
// beginning it to ending it, each sheet's barcodes read back as the request's
// barcodeCheck says. bitmapPath is the barcode image file of this drawing
// alone; style stands in for the request's own.
PageSpanResult DrawPageSpan(QPagedPaintDevice& device, const RunPlan& plan, std::size_t firstPage,
                            std::size_t endPage, const QString& bitmapPath, const HeadingStyleSource& style,
                            const PageSpanHooks& hooks);

// The run's passes that pages hold at least once: copies draw a sheet again.
int DistinctPassesOn(const std::vector<DrawnPage>& pages);

// Draws the plan's pages onto a device that is ready for them (a preview, or
// a PDF writer on a file of the run's own), from beginning the document to
// ending it. An unusable layout calls reportUnusable and ends a document of
// one empty page. Every sheet is checked as the request's barcodeCheck says.
PrintRunResult DrawRun(QPagedPaintDevice& device, const RunPlan& plan, const std::function<void()>& reportUnusable);
// The same, reporting through hooks in place of the request's own.
PrintRunResult DrawRun(QPagedPaintDevice& device, const RunPlan& plan, const std::function<void()>& reportUnusable,
                       const PageSpanHooks& hooks);

// The request's own hooks.
PageSpanHooks RequestHooks(const PrintRunRequest& request);
