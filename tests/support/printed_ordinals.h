#pragma once

#include "passes/pass_serial.h"
#include "run/print_run.h"

#include <utility>
#include <vector>

// The passes of a one-row request that print, as ordinals in its row: first
// and one past the last (0, 0 when none print).
inline std::pair<qint64, qint64> PrintedOrdinals(const PrintRunRequest& request)
{
    const std::vector<RunPass> passes =
        PlacePasses(request.rows, request.settings.cols, request.settings.rows, request.startCell, request.sheets).passes;
    if (passes.empty())
        return {0, 0};
    const qint64 first = PassNumberText(passes.front().validOn, 0).toLongLong();
    return {passes.front().passNumber.toLongLong() - first, passes.back().passNumber.toLongLong() - first + 1};
}
