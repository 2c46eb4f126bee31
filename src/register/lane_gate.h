#pragma once

#include "register/gate_answer.h"
#include "register/pass_register.h"
#include "register/register_location.h"

#include <memory>
#include <optional>

// What every gate does with the register, the window, the camera and
// tessary-register check alike: each scan answered against today's records,
// and a register that cannot be asked answered "cannot check", never
// admitted. The register is opened on the first scan and again on the scan
// after a failure, so that a server back up is used again. A gate never
// makes a register: an empty one would refuse every pass as never issued.
class LaneGate {
public:
    // dryRun: answers without admitting, on a register opened read-only.
    LaneGate(const RegisterLocation& location, const GateSetting& setting, bool dryRun = false);
    ~LaneGate();
    LaneGate(const LaneGate&) = delete;
    LaneGate& operator=(const LaneGate&) = delete;

    const GateSetting& Setting() const { return setting_; }

    GateAnswer Scan(const QString& text);

    // Undoes the latest admission in force at this gate, with the reason.
    // Returns the admission undone; throws TessaryError when there is none or
    // the register cannot be written.
    Admission UndoLast(const QString& reason);

    // The admissions in force at this gate today; nullopt when the register
    // cannot be asked.
    std::optional<int> AdmittedToday();

private:
    PassRegister& Open();

    RegisterLocation location_;
    GateSetting setting_;
    bool dryRun_;
    std::unique_ptr<PassRegister> register_;
};
