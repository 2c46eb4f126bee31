#include "run/draw_run.h"

#include "draw/calibration_sheet.h"
#include "draw/draw_pass.h"
#include "draw/print_document.h"
#include "sheet/sheet_geometry.h"
#include "verify/run_barcode_check.h"

#include <QPagedPaintDevice>
#include <map>
#include <unordered_map>

namespace {

// Where each sheet's passes lie in the plan's list: they come sheet by sheet.
std::unordered_map<int, std::pair<std::size_t, std::size_t>> PassesBySheet(const std::vector<RunPass>& passes)
{
    std::unordered_map<int, std::pair<std::size_t, std::size_t>> spans;
    for (std::size_t i = 0; i < passes.size(); ++i) {
        auto [span, added] = spans.try_emplace(passes[i].sheet, i, i);
        span->second.second = i + 1;
    }
    return spans;
}

// Planned at the output's resolution; a device of another is laid out afresh.
SheetGeometry GeometryFor(const DrawingSurface& surface, const RunPlan& plan)
{
    if (surface.dpiX() == plan.geometry.dpiX && surface.dpiY() == plan.geometry.dpiY)
        return plan.geometry;
    const PrintRunRequest& request = plan.request;
    return ComputeSheetGeometry(request.settings, surface.dpiX(), surface.dpiY(), request.correction);
}

void DrawSpanPages(PrintDocument& document, const RunPlan& plan, const SheetGeometry& geometry,
                   std::size_t firstPage, std::size_t endPage, const QString& bitmapPath,
                   const HeadingStyleSource& style, const PageSpanHooks& hooks, PageSpanResult& span)
{
    const PrintRunRequest& request = plan.request;
    const PassPlacement placement{geometry, request.settings, style, bitmapPath};
    RunBarcodeCheck check(document, request.barcodeCheck, hooks.sheetChecked);
    // Any stop, between pages or after a pass, ends the span as stopped.
    const auto stop = [&hooks, &span] {
        span.stopped = hooks.stopRequested && hooks.stopRequested();
        return span.stopped;
    };
    const auto spans = PassesBySheet(plan.placed.passes);
    PrintRunResult& result = span.result;
    for (std::size_t page = firstPage; page < endPage && !span.stopped; ++page) {
        const int sheet = plan.pages[page];
        if (page > firstPage) {
            if (stop())
                break;
            check.SheetDone();
            document.newPage();
            ++result.pagesEnded;
            if (stop())
                break;
        }
        span.pages.push_back({sheet, 0});
        if (hooks.fillPage && !hooks.fillPage(int(page) + 1))
            continue;
        check.SheetBegun(sheet);
        if (hooks.sheetBegun)
            hooks.sheetBegun(sheet);
        const auto passes = spans.find(sheet);
        for (std::size_t i = passes->second.first; i < passes->second.second; ++i) {
            const RunPass& pass = plan.placed.passes[i];
            DrawPlacedPass(check.surface(), placement, pass);
            ++result.passesDrawn;
            ++span.pages.back().passes;
            if (hooks.passDrawn)
                hooks.passDrawn(pass.barcode);
            check.PassPlaced(pass.barcode, PlacedCellPx(placement, pass));
            if (stop())
                break;
        }
        // Over the sheet's passes once they are drawn: the passes' text bands
        // are filled white and would break lines drawn before them.
        if (request.outlineCells)
            DrawCellOutlines(check.surface(), geometry, request.settings);
    }
    // A stop between pages leaves the page begun last empty.
    if (span.pages.size() < std::size_t(result.pagesEnded))
        span.pages.push_back({0, 0});
    check.RunDone();
    result.partlyRead = check.PartlyRead();
    result.partlyRead.removeDuplicates();  // copies draw a pass again
}

}  // namespace

int DistinctPassesOn(const std::vector<DrawnPage>& pages)
{
    std::map<int, int> mostBySheet;
    for (const DrawnPage& page : pages) {
        int& most = mostBySheet[page.sheet];
        most = std::max(most, page.passes);
    }
    int distinct = 0;
    for (const auto& [sheet, passes] : mostBySheet)
        distinct += passes;
    return distinct;
}

PageSpanResult DrawPageSpan(QPagedPaintDevice& device, const RunPlan& plan, std::size_t firstPage,
                            std::size_t endPage, const QString& bitmapPath, const HeadingStyleSource& style,
                            const PageSpanHooks& hooks)
{
    PageSpanResult span;
    span.result.pagesEnded = 1;
    PrintDocument document(device);
    const SheetGeometry geometry = GeometryFor(document.surface(), plan);
    DrawSpanPages(document, plan, geometry, firstPage, endPage, bitmapPath, style, hooks, span);
    document.end();
    return span;
}

PageSpanHooks RequestHooks(const PrintRunRequest& request)
{
    return PageSpanHooks{request.stopRequested, request.sheetBegun, request.passDrawn, request.fillPage,
                         request.sheetChecked};
}

PrintRunResult DrawRun(QPagedPaintDevice& device, const RunPlan& plan, const std::function<void()>& reportUnusable)
{
    return DrawRun(device, plan, reportUnusable, RequestHooks(plan.request));
}

PrintRunResult DrawRun(QPagedPaintDevice& device, const RunPlan& plan, const std::function<void()>& reportUnusable,
                       const PageSpanHooks& hooks)
{
    const PrintRunRequest& request = plan.request;
    PrintDocument document(device);
    PainterSurface& surface = document.surface();
    const bool planned = surface.dpiX() == plan.geometry.dpiX && surface.dpiY() == plan.geometry.dpiY;
    const SheetGeometry geometry = GeometryFor(surface, plan);
    PageSpanResult span;
    span.result.pagesEnded = 1;
    const int rowsLaidOut = request.calibrationSheet ? 1 : int(request.rows.size());
    if (!plan.usable || (!planned && !LayoutUsable(rowsLaidOut, request.settings, geometry))) {
        span.result.layoutUsable = false;
        if (reportUnusable)
            reportUnusable();
    } else if (request.calibrationSheet) {
        DrawCalibrationSheet(surface, geometry, request.settings);
    } else {
        DrawSpanPages(document, plan, geometry, 0, plan.pages.size(), request.bitmapPath, *request.style, hooks, span);
        span.result.distinctPassesDrawn = DistinctPassesOn(span.pages);
    }
    document.end();
    return span.result;
}
