#include "app/window_run.h"

#include "app/error_box.h"
#include "app/yes_no_question.h"
#include "output/run_page_layout.h"
#include "register/register_on_first_use.h"
#include "register/register_run.h"
#include "run/print_run.h"

#include <QPrinter>
#include <optional>

namespace {

class WindowAnswers : public RunAnswers {
public:
    explicit WindowAnswers(QPrinter& printer) : printer_(printer) {}
    bool Accept(const RunQuestion& question) override
    {
        if (OperatorSaysYes(question.question, question.boxName))
            return true;
        // Refused, the other paper is not offered again unasked.
        if (question.kind == RunQuestion::PaperNotLetter)
            PrepareLetterPrinter(printer_);
        return false;
    }
    void ReportUnusable() override { ShowMessage(kInvalidValueText); }

private:
    QPrinter& printer_;
};

}  // namespace

void PrintWindowRun(QPrinter& printer, const PrintRunRequest& request)
{
    RegisterOnFirstUse passRegister(RegisterLocationFromEnvironment());
    RunPlan plan = PlanRun(request, OutputChoiceOf(printer), passRegister.On() ? &passRegister : nullptr);
    WindowAnswers answers(printer);
    if (plan.refusal) {
        switch (plan.refusal->kind) {
        case RunRefusal::LayoutUnusable:
            PrintPlanned(printer, plan, answers);  // the message, and the one empty page
            return;
        case RunRefusal::QuantityOverLimit:
        case RunRefusal::StampInvalid:
            throw TessaryError(plan.refusal->text);  // the error box
        default:
            ShowMessage(plan.refusal->text);
            return;
        }
    }
    std::optional<RegisterRun> recorder;
    if (passRegister.On()) {
        recorder.emplace(passRegister.Opened(), QStringLiteral("window"), ReprintAllowance{});
        plan.request.recorder = &*recorder;
    }
    PrintPlanned(printer, plan, answers);
}
