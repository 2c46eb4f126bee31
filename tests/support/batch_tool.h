#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

// One run of the built tessary-print, as a script would start it.
struct ToolRun {
    int status = -1;  // -1: it did not end normally
    QString out;
    QString err;
};

// during, when given, runs once the tool has started (to feed a pipe, to send
// it a signal); the run is then waited for as usual.
ToolRun RunTessaryPrint(const QStringList& arguments, const QProcessEnvironment& environment,
                        const std::function<void(QProcess& tool)>& during = {});

// The environment tests start the tool with: the test's own, and no print
// scheduler at all unless cupsServer names one.
QProcessEnvironment ToolEnvironment(const QString& cupsServer);

// Writes a label file of cols x rows passes with two heading lines, centred,
// line 1 bold, in the face given.
void WriteLabelFile(const QString& path, int cols, int rows, const QString& font = QStringLiteral("Liberation Serif"));
