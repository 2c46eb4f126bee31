#pragma once

#include "passes/run_recorder.h"
#include "register/pass_register.h"

// One print run's account in the register: PrintPlanned reserves its passes,
// then confirms or withdraws them.
class RegisterRun : public RunRecorder {
public:
    RegisterRun(PassRegister& passRegister, const QString& program, ReprintAllowance allowance);

    void Reserve(const std::vector<RunPass>& passes, const RunOutput& output) override;
    void Confirm(qint64 handedOn) override;
    void Withdraw() override;
    QString RunId() const override { return run_.id; }
    void AllowAgain(const QSet<QString>& keys) override { allowance_.keys.unite(keys); }
    void NoteJob(const QString& job, const QString& server) override
    {
        register_.NoteJob(run_.id, job, server);
        run_.output.job = job;
        run_.output.server = server;
    }

    const RunInfo& run() const { return run_; }

private:
    PassRegister& register_;
    RunInfo run_;
    ReprintAllowance allowance_;
};
