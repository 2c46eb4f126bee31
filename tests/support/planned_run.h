#pragma once

#include "common/tessary_error.h"
#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"
#include "run/print_run.h"

#include <QPrinter>

// Yes to every question: for tests of what a run draws, not of what it asks.
class YesToEveryQuestion : public RunAnswers {
public:
    bool Accept(const RunQuestion&) override { return true; }
    void ReportUnusable() override { throw TessaryError(QStringLiteral("layout unusable")); }
};

// Plans the request for the printer's output and prints it; a refused plan throws its text.
inline PrintRunResult PrintRequest(QPrinter& printer, const PrintRunRequest& request)
{
    const RunPlan plan = PlanRun(request, OutputChoiceOf(printer));
    if (plan.refusal)
        throw TessaryError(plan.refusal->text);
    YesToEveryQuestion yes;
    return PrintPlanned(printer, plan, yes);
}

// The barcode text of a row's pass with this index, as a run places it.
inline QString RowPassBarcode(const PassListRow& row, int passIndex)
{
    return BarcodeText(PassNumberText(DecodeValidOnStamp(row.validOnStamp), passIndex), row.lane);
}
