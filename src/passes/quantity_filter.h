#pragma once

#include <QChar>
#include <QString>

// Whether a character typed into the quantity box may reach it: only backspace
// and the ASCII digits do. Keys that type no character never come here.
bool QuantityKeyPasses(QChar typed);

// The characters of a text that the filter lets through, in order: what
// reaches the box when an input method or a dead key delivers several at once.
QString QuantityCharactersKept(const QString& typed);
