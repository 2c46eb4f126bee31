#pragma once

#include <QStringList>
#include <QTextStream>

// What tessary-register's exit status tells a script, as tessary-print's does.
enum RegisterToolStatus {
    kToolDone = 0,
    kToolNothingFound = 1,  // no such pass, no pending passes of that run
    kToolUsage = 2,
    kToolRegisterFailed = 3  // the register cannot be opened, read or written
};

// Runs tessary-register with the arguments after the program name: results
// and --help go to out, messages to err. Returns the exit status.
int RunRegisterTool(const QStringList& arguments, QTextStream& out, QTextStream& err);
