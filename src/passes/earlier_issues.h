#pragma once

#include "common/tessary_error.h"
#include "passes/run_recorder.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <vector>

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

// Thrown by a recorder's Reserve when passes of the run were taken by another
// run since the operator was asked (or were never asked about).
class PassesIssuedMeanwhile : public TessaryError {
public:
    explicit PassesIssuedMeanwhile(const EarlierIssues& found)
        : TessaryError(EarlierIssuesFacts(found), ErrorKind::Refused), found_(found)
    {
    }
    const EarlierIssues& found() const { return found_; }

private:
    EarlierIssues found_;
};

// Where a run looks up which of its passes were handed on before: the register.
class IssuedPassLookup {
public:
    virtual ~IssuedPassLookup() = default;
    virtual EarlierIssues LookUp(const std::vector<RunPass>& passes) = 0;
};
