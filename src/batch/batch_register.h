#pragma once

#include "register/register_on_first_use.h"
#include "register/register_run.h"

#include <memory>

// tessary-print's side of the register of issued passes, where
// TESSARY_REGISTER puts it; constructing it throws TessaryError (usage) for a
// setting that names none.
class BatchRegister : public RegisterOnFirstUse {
public:
    BatchRegister();
    ~BatchRegister() override;

    // The recorder for the run, or nullptr when the register is off; with
    // allowReprint every pass may be issued again.
    RunRecorder* Recorder(bool allowReprint);

private:
    std::unique_ptr<RegisterRun> run_;
};

// "<facts>; --allow-reprint prints them again"
QString ReprintRefusal(const EarlierIssues& found);
