#pragma once

#include "run/print_run.h"

#include <functional>

class QPrinter;

// The window's print run with the register of issued passes (unless
// TESSARY_REGISTER is off): passes printed before are asked about first, with
// No as the default, and the run's passes are recorded as it hands them on.
// A register that cannot be used throws before anything is drawn.
void PrintRecordedRun(QPrinter& printer, PrintRunRequest request, const std::function<void()>& reportUnusable);
