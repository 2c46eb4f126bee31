#include "batch/batch_register.h"

#include "batch/batch_failure.h"

BatchRegister::BatchRegister()
{
    try {
        location_ = RegisterLocationFromEnvironment();
    } catch (const RegisterSettingError& error) {
        throw BatchFailure(kExitUsage, error.text());
    } catch (const TessaryError& error) {
        throw BatchFailure(kExitPrintingFailed, error.text());
    }
}

BatchRegister::~BatchRegister() = default;

PassRegister& BatchRegister::Opened()
{
    if (!register_) {
        try {
            register_ = std::make_unique<PassRegister>(location_);
        } catch (const TessaryError& error) {
            throw BatchFailure(kExitPrintingFailed, error.text());
        }
    }
    return *register_;
}

EarlierIssues BatchRegister::LookUp(const std::vector<RunPass>& passes)
{
    PassRegister& opened = Opened();
    try {
        return opened.LookUp(passes);
    } catch (const TessaryError& error) {
        throw BatchFailure(kExitPrintingFailed, error.text());
    }
}

RunRecorder* BatchRegister::Recorder(bool allowReprint)
{
    if (!On())
        return nullptr;
    ReprintAllowance allowance;
    allowance.any = allowReprint;
    run_ = std::make_unique<RegisterRun>(Opened(), QStringLiteral("tessary-print"), allowance);
    return run_.get();
}

QString ReprintRefusal(const EarlierIssues& found)
{
    return EarlierIssuesFacts(found)
           + (found.passes == 1 ? QStringLiteral("; --allow-reprint prints it again")
                                : QStringLiteral("; --allow-reprint prints them again"));
}
