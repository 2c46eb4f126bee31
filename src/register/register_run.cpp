#include "register/register_run.h"

RegisterRun::RegisterRun(PassRegister& passRegister, const QString& program, ReprintAllowance allowance)
    : register_(passRegister), run_(NewRunInfo(program)), allowance_(std::move(allowance))
{
}

void RegisterRun::Reserve(const std::vector<RunPass>& passes, const RunOutput& output)
{
    run_.output = output;
    register_.Reserve(run_, passes, allowance_);
}

void RegisterRun::Confirm(qint64 handedOn) { register_.Confirm(run_.id, handedOn); }

void RegisterRun::Withdraw() { register_.WithdrawPending(run_.id); }
