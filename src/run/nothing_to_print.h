#pragma once

#include <QString>

struct PrintRunRequest;

// What the operator or a script is told when a run holds nothing to print,
// before any document is begun.
inline const QString kNoQuantityText = QStringLiteral("Nothing to print: no row has a quantity.");
inline const QString kNoSheetInRangeText =
    QStringLiteral("Nothing to print: the page range holds no sheet of this run.");

// kNoQuantityText when no row has a pass, kNoSheetInRangeText when the page
// range misses every sheet of the run, "" when there is something to print.
QString NothingToPrintText(const PrintRunRequest& request);
