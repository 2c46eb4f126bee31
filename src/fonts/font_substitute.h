#pragma once

#include <QString>

// The installed family the font system draws in place of a face it does not
// have, when it binds that family to the name itself (fontconfig's metric
// aliases: "Arial" -> "Liberation Sans"), by its plain name. Empty when the
// font system would only fall back to its default family for the generic kind
// asked for, and for an empty name.
QString FontSubstituteFamily(const QString& name);
