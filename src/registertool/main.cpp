// tessary-register: looks up and looks after the register of issued passes.
#include "registertool/checked_output.h"
#include "registertool/register_commands.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // A reader that went away (list | head) is a failed write, told on
    // standard error and in the exit status, not an end by SIGPIPE that a
    // script reading the output cannot tell from a whole one.
    signal(SIGPIPE, SIG_IGN);
    // Before the application opens descriptors of its own.
    CheckedOutput out(STDOUT_FILENO, QStringLiteral("standard output"));
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const int status = RunRegisterTool(app.arguments().mid(1), out, err);
    err.flush();
    return status;
}
