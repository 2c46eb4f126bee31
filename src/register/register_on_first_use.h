#pragma once

#include "passes/earlier_issues.h"
#include "register/pass_register.h"
#include "register/register_location.h"

#include <memory>

// The register of issued passes at a location, opened when a run first needs
// it: a run refused before it looks a pass up leaves the register alone.
class RegisterOnFirstUse : public IssuedPassLookup {
public:
    explicit RegisterOnFirstUse(RegisterLocation location);
    ~RegisterOnFirstUse() override;

    bool On() const { return location_.kind != RegisterLocation::Kind::Off; }
    // Throws as opening the register does.
    EarlierIssues LookUp(const std::vector<RunPass>& passes) override { return Opened().LookUp(passes); }
    PassRegister& Opened();

private:
    RegisterLocation location_;
    std::unique_ptr<PassRegister> register_;
};
