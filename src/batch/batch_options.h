#pragma once

#include "passes/sheet_range.h"
#include "sheet/printer_correction.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>
#include <utility>
#include <vector>

// tessary-print's command line, checked for form only: files are not opened and
// rows are not read here.
struct BatchOptions {
    bool help = false;
    bool version = false;
    QString labelFile;
    QStringList rowTexts;   // --row, in the order given
    QStringList rowFiles;   // --rows, read after the --row rows
    QString pdfFile;        // "-": standard output; at most one of pdfFile and queue is set,
    QString queue;          // neither: the default destination
    QString server;         // -h: the CUPS scheduler, "host[:port]"; "" for libcups' own choice
    QString title;          // the job's title; "" for the label file's name
    std::optional<int> copies;  // -n; none: the destination's own, else 1
    std::vector<std::pair<QString, QString>> jobOptions;  // -o name=value, in the order given
    std::optional<SheetRange> pages;
    std::optional<QTime> timeOfDay;  // --at
    int startCell = 1;
    int drawingJobs = 0;  // 0: sheet by sheet
    bool outlineCells = false;
    bool allowDuplicates = false;
    bool allowPartlyCovered = false;
    bool allowReprint = false;  // print passes the register holds as printed before
    bool quiet = false;   // -q: no request id line and no progress
    bool json = false;    // the result as one line of JSON on standard output
    bool calibrationSheet = false;                // the rulers' page in place of passes; no rows
    std::optional<PrinterCorrection> correction;  // none given: the queue's stored one
};

// Reads the arguments after the program name. Throws TessaryError with
// the usage kind and a message that names the fault.
BatchOptions ParseBatchOptions(const QStringList& arguments);

// Whether the standard output is where the PDF goes.
bool PdfToStandardOutput(const BatchOptions& options);

// "hh:mm:ss" on the 24-hour clock; an invalid QTime for anything else.
QTime ParseTimeOfDay(const QString& text);

// The text --help prints.
QString BatchHelpText();

// The text --version prints.
QString BatchVersionText();
