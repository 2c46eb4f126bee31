#include "batch/batch_register.h"

#include "common/exit_status.h"

BatchRegister::BatchRegister()
{
    location_ = RegisterLocationFromEnvironment();
}

BatchRegister::~BatchRegister() = default;

PassRegister& BatchRegister::Opened()
{
    if (!register_)
        register_ = std::make_unique<PassRegister>(location_);
    return *register_;
}

EarlierIssues BatchRegister::LookUp(const std::vector<RunPass>& passes)
{
    return Opened().LookUp(passes);
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
