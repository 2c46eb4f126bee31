#include "run/run_plan.h"

#include "common/tessary_error.h"
#include "passes/valid_on_stamp.h"

#include <QPrinter>

QString QuantityRangeMessage() { return QStringLiteral("Quantity must be 1 to %1").arg(kMostPassesOfARow); }

RunOutputChoice OutputChoiceOf(const QPrinter& printer)
{
    RunOutputChoice output;
    output.toFile = printer.outputFormat() == QPrinter::PdfFormat;
    output.dpiX = printer.logicalDpiX();
    output.dpiY = printer.logicalDpiY();
    output.paper = printer.pageLayout().pageSize();
    output.copies = RunCopies{printer.copyCount(), printer.collateCopies()};
    return output;
}

RunQuestion PrintedBeforeQuestion(const EarlierIssues& earlier)
{
    RunQuestion question{RunQuestion::PrintedBefore, ReprintQuestion(earlier), QStringLiteral("reprintQuestion")};
    question.earlier = earlier;
    return question;
}

int SheetsOfFullRun(const PrintRunRequest& request)
{
    // A range of no sheet: the count alone, without a pass placed.
    return PlacePasses(request.rows, request.settings.cols, request.settings.rows, request.startCell, SheetRange(1, 0))
        .sheetsOfFullRun;
}

namespace {

std::optional<RunRefusal> RowRefusal(const std::vector<PassListRow>& rows)
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].quantity() > kMostPassesOfARow)
            return RunRefusal{RunRefusal::QuantityOverLimit, QuantityRangeMessage(), int(i + 1)};
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].quantity() < 1)
            continue;
        try {
            DecodeValidOnStamp(rows[i].validOnStamp);
        } catch (const TessaryError& error) {
            return RunRefusal{RunRefusal::StampInvalid, error.text(), int(i + 1)};
        }
    }
    return std::nullopt;
}

std::optional<RunRefusal> PlacementRefusal(const RunPlan& plan)
{
    const PrintRunRequest& request = plan.request;
    const qint64 cells = qint64(request.settings.cols) * request.settings.rows;
    if (request.startCell > cells)
        return RunRefusal{RunRefusal::StartCellBeyondSheet,
                          QStringLiteral("Start cell %1 is beyond the %2 cells of a sheet")
                              .arg(request.startCell)
                              .arg(cells)};
    if (plan.placed.sheetsOfFullRun == 0)
        return RunRefusal{RunRefusal::NoQuantity, kNoQuantityText};
    if (plan.placed.passes.empty())
        return RunRefusal{RunRefusal::NoSheetInRange, kNoSheetInRangeText};
    return std::nullopt;
}

void AddQuestions(RunPlan& plan, IssuedPassLookup* lookup)
{
    if (!plan.output.paper.isEquivalentTo(QPageSize(QPageSize::Letter))) {
        RunQuestion paper{RunQuestion::PaperNotLetter,
                          QStringLiteral("The passes are laid out for US Letter; print on %1?")
                              .arg(plan.output.paper.name()),
                          QStringLiteral("paperQuestion")};
        paper.paperName = plan.output.paper.name();
        plan.questions.push_back(paper);
    }
    const DuplicateBarcodes found = FindDuplicateBarcodes(plan.placed.passes);
    if (found.repeatedPasses > 0) {
        RunQuestion shared{RunQuestion::DuplicateBarcodes, DuplicateBarcodesQuestion(found),
                           QStringLiteral("duplicateQuestion")};
        shared.duplicates = found;
        plan.questions.push_back(shared);
    }
    // Copies hand on every barcode of the run again, as rows that share numbers would.
    if (plan.output.copies.count > 1) {
        RunQuestion copies{RunQuestion::DuplicateBarcodes, CopiesQuestion(plan.output.copies.count),
                           QStringLiteral("copiesQuestion")};
        copies.copies = plan.output.copies.count;
        plan.questions.push_back(copies);
    }
    if (lookup) {
        const EarlierIssues earlier = lookup->LookUp(plan.placed.passes);
        if (earlier.Any())
            plan.questions.push_back(PrintedBeforeQuestion(earlier));
    }
}

}  // namespace

RunPlan PlanRun(const PrintRunRequest& request, const RunOutputChoice& output, IssuedPassLookup* lookup)
{
    RunPlan plan;
    plan.request = request;
    plan.output = output;
    plan.geometry = ComputeSheetGeometry(request.settings, output.dpiX, output.dpiY, request.correction);
    if (request.calibrationSheet) {
        // Rulers and outlines only: no row is read, nothing is asked.
        plan.usable = LayoutUsable(1, request.settings, plan.geometry);
        if (!plan.usable)
            plan.refusal = RunRefusal{RunRefusal::LayoutUnusable, kInvalidValueText};
        else
            plan.pages = {1};
        return plan;
    }
    plan.refusal = RowRefusal(request.rows);
    if (plan.refusal)
        return plan;
    plan.usable = LayoutUsable(int(request.rows.size()), request.settings, plan.geometry);
    if (!plan.usable) {
        plan.refusal = RunRefusal{RunRefusal::LayoutUnusable, kInvalidValueText};
        return plan;
    }
    plan.placed =
        PlacePasses(request.rows, request.settings.cols, request.settings.rows, request.startCell, request.sheets);
    plan.refusal = PlacementRefusal(plan);
    if (plan.refusal)
        return plan;
    plan.pages = RunPages(plan.placed.sheets, output.toFile ? output.copies : RunCopies{});
    AddQuestions(plan, lookup);
    return plan;
}
