#pragma once

#include "passes/run_pass.h"
#include "render/print_run.h"

#include <vector>

// The passes a run of the request prints, in the order it draws them, with the
// page range and the start cell applied: sheets outside the range are left out,
// so a reprint of sheet 2 lists exactly the passes of sheet 2. Throws as
// decoding a stamp does.
std::vector<RunPass> RunPasses(const PrintRunRequest& request);
