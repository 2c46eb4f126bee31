// tessary-register: looks up and looks after the register of issued passes.
#include "registertool/register_commands.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunRegisterTool(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
