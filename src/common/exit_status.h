#pragma once

#include "common/tessary_error.h"

// The exit statuses of tessary-print and tessary-register, one table for both.
enum ExitStatus {
    kExitDone = 0,
    kExitRefused = 1,         // refused or declined; tessary-register: nothing found
    kExitUsage = 2,
    kExitFailed = 3,          // nothing was handed on; tessary-register: the register failed
    kExitMayHavePrinted = 4,  // printed, or may have, but the passes stay pending
    kExitOutputFailed = 5,    // tessary-register: its output could not be written whole
    kExitSignalBase = 128,    // + N: stopped by signal N before anything was handed on
};

int ExitStatusOf(ErrorKind kind, int signal = 0);
inline int ExitStatusOf(const TessaryError& error) { return ExitStatusOf(error.kind(), error.signal()); }
