#pragma once

#include "render/pass_walk.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

// tessary-print's command line, checked for form only: files are not opened and
// rows are not read here.
struct BatchOptions {
    bool help = false;
    QString labelFile;
    QStringList rowTexts;   // --row, in the order given
    QStringList rowFiles;   // --rows, read after the --row rows
    QString pdfFile;        // exactly one of pdfFile and queue is set
    QString queue;
    std::optional<SheetRange> pages;
    std::optional<QTime> timeOfDay;  // --at
    int startCell = 1;
    bool outlineCells = false;
    bool allowDuplicates = false;
    bool allowReprint = false;  // print passes the register holds as printed before
    bool quiet = false;
};

// Reads the arguments after the program name. Throws BatchFailure with
// kExitUsage and a message that names the fault.
BatchOptions ParseBatchOptions(const QStringList& arguments);

// "A-B" or "A", sheets counted from 1 with A <= B; nullopt for anything else.
std::optional<SheetRange> ParseSheetRange(const QString& text);

// "hh:mm:ss" on the 24-hour clock; an invalid QTime for anything else.
QTime ParseTimeOfDay(const QString& text);

// The text --help prints.
QString BatchHelpText();
