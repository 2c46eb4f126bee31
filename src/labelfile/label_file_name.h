#pragma once

#include <QString>

// The path a save writes to: the chosen path with ".lbl" appended unless its
// extension already is ".lbl" in any letter case. The extension runs from the
// last "." to the end when no "\", ":" or "/" follows that dot.
QString WithLabelExtension(const QString& chosenPath);
