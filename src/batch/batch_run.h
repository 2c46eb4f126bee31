#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QTime>

// What a batch run takes from the process around it.
struct BatchEnvironment {
    QTime startTime;                    // time of day for rows that give none and no --at
    QString bitmapPath;                 // the barcode bitmap file every pass goes through
};

// Runs tessary-print with the arguments after the program name: --help goes to
// out, progress and every message to err. Returns the exit status
// (BatchExitStatus). Nothing is handed on unless the whole run is.
int RunBatch(const QStringList& arguments, const BatchEnvironment& environment, QTextStream& out,
             QTextStream& err);
