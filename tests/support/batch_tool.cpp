#include "support/batch_tool.h"

#include "labelfile/label_file.h"

#include <QProcess>

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
