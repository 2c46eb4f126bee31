#pragma once

#include "common/stop_signal.h"
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
