#pragma once

#include "common/tessary_error.h"

// The stop signal (SIGTERM, SIGINT, ...) that arrived while a run defers stops,
// for every wait of the run to see: a wait the signal interrupts gives up when
// one is noted, instead of waiting on.
int StopSignalReceived();  // 0: none
// Keeps the first signal noted; safe inside a signal handler.
void NoteStopSignal(int signal);
void ForgetStopSignal();

// A stop signal ended the run before anything was handed on; its passes are
// withdrawn and any job it made is cancelled.
inline TessaryError RunStopped()
{
    return TessaryError(QStringLiteral("The run was stopped before anything was printed"), ErrorKind::Stopped,
                        StopSignalReceived());
}
