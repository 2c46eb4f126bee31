#pragma once

#include "passes/sheet_range.h"

#include <QString>
#include <optional>

// A list of sheets as the operator types it: "2", "2-5", "1,3-4", "2-" (to the
// last sheet); nothing for anything else.
std::optional<SheetRange> ParseSheetList(const QString& text);
