#pragma once

#include "passes/sheet_range.h"

#include <utility>
#include <vector>

// A list of pieces as ParseSheetList makes it: "1,3" is Pieces({{1, 1}, {3, 3}}).
inline SheetRange Pieces(std::vector<std::pair<int, int>> pieces)
{
    SheetRange range(pieces.front().first, pieces.back().second);
    range.pieces = std::move(pieces);
    return range;
}
