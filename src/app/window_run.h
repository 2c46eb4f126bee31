#pragma once

#include "run/run_request.h"

class QPrinter;

// The window's print run: planned once, its refusals shown as the window shows
// them, its questions asked in message boxes (default No), and recorded in the
// register of issued passes unless TESSARY_REGISTER is off. A register that
// cannot be used throws before anything is drawn.
void PrintWindowRun(QPrinter& printer, const PrintRunRequest& request);
