#pragma once

#include <QString>

// The family the font system puts in place of a face it does not have, when
// it binds that family to the name itself (fontconfig's metric aliases, e.g.
// "Arial" -> "Liberation Sans"). Empty when the font system would only fall
// back to its default family for the requested generic kind, or for an empty
// name.
QString FontSubstituteFamily(const QString& name);
