#pragma once

#include "passes/earlier_issues.h"
#include "register/pass_register.h"
#include "register/register_run.h"

#include <memory>
#include <optional>

// tessary-print's side of the register of issued passes, opened when the run
// first needs it: a run refused before then leaves it alone.
class BatchRegister : public IssuedPassLookup {
public:
    // Reads where TESSARY_REGISTER puts the register; throws TessaryError
    // (usage) for a setting that names none.
    BatchRegister();
    ~BatchRegister() override;

    bool On() const { return location_.kind != RegisterLocation::Kind::Off; }
    // Throws TessaryError (failed) when the register cannot be used.
    EarlierIssues LookUp(const std::vector<RunPass>& passes) override;
    // The recorder for the run, or nullptr when the register is off; with
    // allowReprint every pass may be issued again.
    RunRecorder* Recorder(bool allowReprint);

private:
    PassRegister& Opened();

    RegisterLocation location_;
    std::unique_ptr<PassRegister> register_;
    std::unique_ptr<RegisterRun> run_;
};

// "<facts>; --allow-reprint prints them again"
QString ReprintRefusal(const EarlierIssues& found);
