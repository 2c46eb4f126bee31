#pragma once

#include "common/exit_status.h"

#include <QStringList>
#include <QTextStream>

class CheckedOutput;

// What tessary-register's exit status tells a script, as tessary-print's does.

// Runs tessary-register with the arguments after the program name: results
// and --help go to out, which it finishes (flushed and closed), messages to
// err. Returns the exit status: a command's own failure before an output
// that could not be written, which is told all the same.
int RunRegisterTool(const QStringList& arguments, CheckedOutput& out, QTextStream& err);
