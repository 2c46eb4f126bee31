#pragma once

#include <QString>

// Asks the operator a question of the run with Yes and No, No being the
// default, so that Return never prints by accident. True for Yes.
// objectName names the box for accessibility and for the tests.
bool OperatorSaysYes(const QString& question, const QString& objectName);
