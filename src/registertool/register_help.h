#pragma once

#include <QString>

// What tessary-register --help prints.
QString RegisterHelpText();
