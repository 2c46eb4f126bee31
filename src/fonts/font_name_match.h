#pragma once

#include <QString>
#include <QStringList>

// True when the two names are equal once the letters A to Z are folded to one
// case; every other character, accented letters included, must be identical.
// This is how a font name read from a label file finds its entry.
bool SameNameIgnoringAsciiCase(const QString& a, const QString& b);

// The entry a font name read from a label file selects: the entry spelled
// exactly so, else the first equal to it once A to Z are folded, else none ("").
QString MatchingFontEntry(const QString& name, const QStringList& entries);
