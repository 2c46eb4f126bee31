#pragma once

#include <QStringList>

// The lane codes a pass can carry, in the order the window's lane list shows
// them. There is no lane 08.
QStringList LaneCodes();
