#pragma once

#include "register/pass_register.h"
#include "register/register_run.h"
#include "run/print_run.h"

#include <memory>

// tessary-print's side of the register of issued passes: a run that would
// print passes printed before is refused unless reprints are allowed.
class BatchRegister {
public:
    // Opens the register TESSARY_REGISTER names; nothing when it is off.
    // Throws BatchFailure (printing failed) when it cannot be opened.
    BatchRegister();
    ~BatchRegister();

    // The recorder for the run, or nullptr when the register is off. Throws
    // BatchFailure (refused) when passes of the run were printed before and
    // allowReprint is false.
    RunRecorder* PrepareRun(const PrintRunRequest& request, bool allowReprint);

private:
    std::unique_ptr<PassRegister> register_;
    std::unique_ptr<RegisterRun> run_;
};

// "<facts>; --allow-reprint prints them again"
QString ReprintRefusal(const EarlierIssues& found);
