#include "batch/batch_register.h"

#include "batch/batch_failure.h"

BatchRegister::BatchRegister()
{
    try {
        const RegisterLocation location = RegisterLocationFromEnvironment();
        if (location.kind != RegisterLocation::Kind::Off)
            register_ = std::make_unique<PassRegister>(location);
    } catch (const RegisterSettingError& error) {
        throw BatchFailure(kExitUsage, error.text());
    } catch (const TessaryError& error) {
        throw BatchFailure(kExitPrintingFailed, error.text());
    }
}

BatchRegister::~BatchRegister() = default;

RunRecorder* BatchRegister::PrepareRun(const PrintRunRequest& request, bool allowReprint)
{
    if (!register_)
        return nullptr;
    ReprintAllowance allowance;
    allowance.any = allowReprint;
    if (!allowReprint) {
        try {
            const EarlierIssues earlier = register_->LookUp(RequestedPasses(request));
            if (earlier.Any())
                throw BatchFailure(kExitRefused, ReprintRefusal(earlier));
        } catch (const TessaryError& error) {
            throw BatchFailure(kExitPrintingFailed, error.text());
        }
    }
    run_ = std::make_unique<RegisterRun>(*register_, QStringLiteral("tessary-print"), allowance);
    return run_.get();
}

QString ReprintRefusal(const EarlierIssues& found)
{
    return EarlierIssuesFacts(found)
           + (found.passes == 1 ? QStringLiteral("; --allow-reprint prints it again")
                                : QStringLiteral("; --allow-reprint prints them again"));
}
