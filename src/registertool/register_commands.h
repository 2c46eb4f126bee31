#pragma once

#include <QStringList>
#include <QTextStream>

class CheckedOutput;

// What tessary-register's exit status tells a script, as tessary-print's does.
enum RegisterToolStatus {
    kToolDone = 0,
    kToolNothingFound = 1,  // no such pass, no pending passes of that run, nothing to prune
    kToolUsage = 2,             // also a TESSARY_REGISTER that is no register setting, a backup not made here
    kToolRegisterFailed = 3,    // the register cannot be opened, read or written
    kToolRunMayBePrinting = 4,  // withdraw-pending of a run that may still be printing
    kToolOutputFailed = 5       // standard output or export's file could not be written whole
};

// Runs tessary-register with the arguments after the program name: results
// and --help go to out, which it finishes (flushed and closed), messages to
// err. Returns the exit status: a command's own failure before an output
// that could not be written, which is told all the same.
int RunRegisterTool(const QStringList& arguments, CheckedOutput& out, QTextStream& err);
