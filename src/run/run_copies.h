#pragma once

#include "draw/pass_walk.h"

#include <vector>

// Copies a document is to hold itself (a file); a queue makes its own copies
// from one.
struct RunCopies {
    int count = 1;
    bool collate = true;  // the whole run again after the whole run; otherwise each sheet its copies in a row
};

// Walks the sheets of the control's range once per copy, each copy on pages of
// its own, and returns the passes drawn over all copies. One copy is exactly
// one walk.
int WalkCopies(DrawingSurface& surface, const PassPlacement& placement, const std::vector<PassListRow>& rows,
               const WalkControl& control, const RunCopies& copies);
