#include "app/window_run.h"

#include "app/error_box.h"
#include "app/yes_no_question.h"
#include "output/run_page_layout.h"
#include "register/pass_register.h"
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

// The register, opened only when the plan first looks a pass up: a run the
// plan refuses needs none.
class WindowRegister : public IssuedPassLookup {
public:
    explicit WindowRegister(const RegisterLocation& location) : location_(location) {}
    EarlierIssues LookUp(const std::vector<RunPass>& passes) override { return Opened().LookUp(passes); }
    PassRegister& Opened()
    {
        if (!register_)
            register_.emplace(location_);
        return *register_;
    }

private:
    RegisterLocation location_;
    std::optional<PassRegister> register_;
};

}  // namespace

void PrintWindowRun(QPrinter& printer, const PrintRunRequest& request)
{
    const RegisterLocation location = RegisterLocationFromEnvironment();
    std::optional<WindowRegister> passRegister;
    if (location.kind != RegisterLocation::Kind::Off)
        passRegister.emplace(location);
    RunPlan plan = PlanRun(request, OutputChoiceOf(printer), passRegister ? &*passRegister : nullptr);
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
    if (passRegister) {
        recorder.emplace(passRegister->Opened(), QStringLiteral("window"), ReprintAllowance{});
        plan.request.recorder = &*recorder;
    }
    PrintPlanned(printer, plan, answers);
}
