#pragma once

#include "passes/run_recorder.h"

#include <QDateTime>
#include <QSet>
#include <QString>

// Passes of a run that the register already holds: printed by an earlier run,
// or taken by a run that never said it printed them (it may have).
struct EarlierIssues {
    int passes = 0;          // passes of this run with an earlier record
    int mayHavePrinted = 0;  // of those, the ones only unfinished runs hold
    int voided = 0;          // of those, the ones voided since (and not issued again)
    QDateTime firstAt;       // the earliest of those records, local time
    RunOutput firstOutput;   // where its run went
    QString firstHost;
    QSet<QString> keys;      // the register keys of those passes

    bool Any() const { return passes > 0; }
};

// "12 passes of this run were printed before (first on Dec 09 2026 10:15 by
// the run to PDF)"; the host is named when it is not this one, and void
// passes are told apart ("; 2 of them are void").
QString EarlierIssuesFacts(const EarlierIssues& found);

// The facts, then "Print them again?".
QString ReprintQuestion(const EarlierIssues& found);
