#pragma once

#include "common/tessary_error.h"

// The run's sheets went out, or may have: a queue that stopped answering once
// the job was released, a held job that could not be cancelled, standard
// output that took part of the PDF, or a register that could not record what
// was handed on. The operator must not be told that nothing printed; a
// register keeps the run's passes pending, and the text names the run.
class MayHavePrinted : public TessaryError {
public:
    using TessaryError::TessaryError;
};

// A stop signal ended the run before anything was handed on; its passes are
// withdrawn and any job it made is cancelled.
class RunStopped : public TessaryError {
public:
    RunStopped() : TessaryError(QStringLiteral("The run was stopped before anything was printed")) {}
};
