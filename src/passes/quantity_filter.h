#pragma once

#include <QChar>

// Whether a character typed into the quantity box may reach it: only backspace
// and the ASCII digits do. Keys that type no character never come here.
bool QuantityKeyPasses(QChar typed);
