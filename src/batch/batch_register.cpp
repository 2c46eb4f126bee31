#include "batch/batch_register.h"

BatchRegister::BatchRegister() : RegisterOnFirstUse(RegisterLocationFromEnvironment()) {}

BatchRegister::~BatchRegister() = default;

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
