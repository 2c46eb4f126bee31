#pragma once

#include <QString>

// True when the two names are equal once the letters A to Z are folded to one
// case; every other character, accented letters included, must be identical.
// This is how a font name read from a label file finds its entry.
bool SameNameIgnoringAsciiCase(const QString& a, const QString& b);
