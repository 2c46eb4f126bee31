#pragma once

#include "passes/run_pass.h"

#include <QSet>
#include <QString>
#include <utility>
#include <vector>

// Where a run hands its sheets on: a file renamed into place, or a queue.
struct RunOutput {
    RunOutput() = default;
    RunOutput(bool isFile, QString outputName, QString outputCorrection = QString())
        : toFile(isFile), name(std::move(outputName)), correction(std::move(outputCorrection))
    {
    }

    bool toFile = false;
    QString name;  // the file's path, or the queue's name
    QString correction;  // the output's offset and scale, "DX,DY,SX,SY"; "" when not known
    int copies = 0;      // copies handed on, each with every pass; 0 when not known
    QString job;         // a queue's job ("Passes-12") once it exists; "" for a file or when not known
    QString server;      // the print server the job is on ("localhost:631"); "" likewise
};

// Keeps account of the passes a run hands on, all or nothing. The run calls
// Reserve before anything is drawn, then exactly one of Confirm (the sheets
// were handed on) and Withdraw (nothing was).
class RunRecorder {
public:
    virtual ~RunRecorder() = default;
    // Records every pass the run is about to print as pending, in one go.
    // Throws when they cannot be recorded; then nothing may be handed on.
    virtual void Reserve(const std::vector<RunPass>& passes, const RunOutput& output) = 0;
    // The first handedOn reserved passes went out (a stopped run hands on the
    // sheets it drew); the rest are withdrawn.
    virtual void Confirm(qint64 handedOn) = 0;
    // Nothing was handed on: every reserved pass is withdrawn.
    virtual void Withdraw() = 0;
    // The id the pending passes can be found under; empty when none is kept.
    virtual QString RunId() const { return QString(); }
    // A queue has taken the run's job: later runs, and whoever looks at a run
    // left pending, can find it there. Throws when it cannot be recorded.
    virtual void NoteJob(const QString& job, const QString& server)
    {
        Q_UNUSED(job);
        Q_UNUSED(server);
    }
    // The operator has said these passes (register keys) may print again.
    virtual void AllowAgain(const QSet<QString>& keys) { Q_UNUSED(keys); }
};
