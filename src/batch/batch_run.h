#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QTime>

// What a batch run takes from the process around it.
struct BatchEnvironment {
    QTime startTime;                    // time of day for rows that give none and no --at
    QString bitmapPath;                 // the barcode bitmap file every pass goes through
    bool errIsTerminal = false;         // standard error is a terminal: progress is shown there
};

// Runs tessary-print with the arguments after the program name: --help, lp's
// "request id is" line or the --json result go to out, progress and every
// message to err. Returns the exit status
// (BatchExitStatus). Nothing is handed on unless the whole run is.
int RunBatch(const QStringList& arguments, const BatchEnvironment& environment, QTextStream& out,
             QTextStream& err);
