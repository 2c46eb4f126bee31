#pragma once

#include "passes/valid_on_stamp.h"

#include <QString>

// One pass a print run puts on paper, and where: what a register of issued
// passes keeps about it.
struct RunPass {
    QString barcode;       // what the barcode encodes: pass number and lane
    QString passNumber;
    QString lane;
    CalendarInstant validOn{};
    int sheet = 0;         // sheet of the full run, from 1
    int cell = 0;          // cell of that sheet, counted across each row of passes from 1
    int row = 0;           // entry row of the pass list it comes from, from 1
};

// The first year of the two-year cycle the instant's pass numbers belong to:
// a barcode text comes round again in the next cycle and is another pass there.
int NumberingCycle(const CalendarInstant& instant);
