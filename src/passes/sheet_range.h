#pragma once

#include <limits>
#include <utility>
#include <vector>

// Which sheets of the range print: all, or only the odd- or even-numbered
// sheets of the full run (the print dialog's Odd Pages and Even Pages).
enum class SheetSet { All, Odd, Even };

// Sheets of a run, counted from 1 as in a full run; both ends included. A list
// of pieces ("1,3-5") narrows it to the sheets the pieces name, and the set to
// its odd or even sheets.
struct SheetRange {
    SheetRange() = default;
    SheetRange(int firstSheet, int lastSheet) : first(firstSheet), last(lastSheet) {}

    int first = 1;
    int last = std::numeric_limits<int>::max();
    std::vector<std::pair<int, int>> pieces;
    SheetSet set = SheetSet::All;
    bool Contains(int sheet) const
    {
        if (sheet < first || sheet > last)
            return false;
        if ((set == SheetSet::Odd && sheet % 2 == 0) || (set == SheetSet::Even && sheet % 2 == 1))
            return false;
        if (pieces.empty())
            return true;
        for (const auto& [from, to] : pieces) {
            if (sheet >= from && sheet <= to)
                return true;
        }
        return false;
    }
};
