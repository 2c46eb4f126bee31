#include "app/recorded_print_run.h"

#include "app/yes_no_question.h"
#include "register/pass_register.h"
#include "register/register_run.h"

#include <QPrinter>

namespace {

bool ReprintAccepted(const EarlierIssues& found)
{
    return OperatorSaysYes(ReprintQuestion(found), QStringLiteral("reprintQuestion"));
}

}  // namespace

void PrintRecordedRun(QPrinter& printer, PrintRunRequest request, const std::function<void()>& reportUnusable)
{
    const RegisterLocation location = RegisterLocationFromEnvironment();
    if (location.kind == RegisterLocation::Kind::Off
        || !RunLayoutUsable(request, printer.logicalDpiX(), printer.logicalDpiY())) {
        PrintRun(printer, request, reportUnusable);
        return;
    }
    PassRegister passRegister(location);
    ReprintAllowance allowance;
    const EarlierIssues earlier = passRegister.LookUp(RequestedPasses(request));
    if (earlier.Any()) {
        if (!ReprintAccepted(earlier))
            return;
        allowance.keys = earlier.keys;
    }
    // Another desk may take some of the passes between the question and the
    // run: then the operator is asked about those as well.
    for (;;) {
        RegisterRun recorder(passRegister, QStringLiteral("window"), allowance);
        request.recorder = &recorder;
        try {
            PrintRun(printer, request, reportUnusable);
            return;
        } catch (const PassesIssuedMeanwhile& meanwhile) {
            if (!ReprintAccepted(meanwhile.found()))
                return;
            allowance.keys.unite(meanwhile.found().keys);
        }
    }
}
