#include "batch/batch_tool.h"

#include "labelfile/label_file.h"

#include <QProcess>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

ToolRun RunTessaryPrint(const QStringList& arguments, const QProcessEnvironment& environment,
                        const std::function<void(QProcess& tool)>& during)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSARY_PRINT_EXE), arguments);
    if (during && process.waitForStarted())
        during(process);
    process.waitForFinished(120000);
    ToolRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

ToolRun RunTessaryPrintOnTerminal(const QStringList& arguments, const QProcessEnvironment& environment)
{
    ToolRun run;
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0)
        return run;
    const QByteArray side = ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0 ? ::ptsname(terminal) : "";
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([side] {
        const int fd = ::open(side.constData(), O_WRONLY | O_NOCTTY);
        if (fd < 0 || ::dup2(fd, STDERR_FILENO) < 0)
            ::_exit(126);
    });
    process.start(QStringLiteral(TESSARY_PRINT_EXE), arguments);
    process.waitForFinished(120000);
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    // Once the tool has gone, the terminal gives what it wrote and then an error.
    QByteArray written;
    char block[4096];
    pollfd ready{terminal, POLLIN, 0};
    for (ssize_t n = 0; ::poll(&ready, 1, 5000) > 0 && (n = ::read(terminal, block, sizeof block)) > 0;)
        written.append(block, n);
    ::close(terminal);
    run.err = QString::fromUtf8(written).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return run;
}

QProcessEnvironment ToolEnvironment(const QString& cupsServer)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), cupsServer);
    return environment;
}

void WriteLabelFile(const QString& path, int cols, int rows, const QString& font)
{
    LabelValues values;
    values.cols = QString::number(cols);
    values.rows = QString::number(rows);
    values.font = font;
    values.fontSize = QStringLiteral("0.8");
    values.center = true;
    values.leftMargin = QStringLiteral("0.25");
    values.top = QStringLiteral("0.5");
    values.lines[0] = QStringLiteral("LANE PASS");
    values.lines[3] = QStringLiteral("Not for resale");
    values.bold[0] = true;
    SaveLabelFile(path, values);
}
