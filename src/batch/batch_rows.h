#pragma once

#include "passes/pass_list.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>
#include <vector>

// One row of the pass list as the batch tool reads it, before its stamp is made.
struct BatchRow {
    QString lane;            // as the window's lane list spells it
    QDate date;
    std::optional<QTime> timeOfDay;  // when the row gives its own
    int quantity = 0;
    QString origin;          // where the row came from, for messages
    qint64 line = 0;         // its line in a rows file, from 1; 0 for --row

    QString Where() const;   // origin and line, as messages name the row
};

// Bounds of a rows file: endless or hostile input is refused, not read into memory.
constexpr qint64 kMostRows = 1000000;
constexpr qsizetype kLongestRowsLine = 4096;  // bytes

// A text from the input quoted for a message, cut after a few dozen characters.
QString QuotedForMessage(const QString& text);

// "LANE,YYYY-MM-DD[Thh:mm:ss],QTY" from --row. Throws a TessaryError (refused)
// naming origin when the text is not such a row, and "Quantity must be 1 to 99"
// for a quantity of digits outside that range.
BatchRow ParseRowText(const QString& text, const QString& origin);

// The rows of a CSV file ("-": standard input), one "lane,date[,time],quantity"
// a line; a first line without any digit is a header, blank lines are skipped.
// A regular file or a pipe, of at most kMostRows rows (twice as many lines)
// of at most kLongestRowsLine bytes. Throws a TessaryError (usage) "Cannot
// open file <path>" when it cannot be read and a TessaryError (refused) for
// a line that is not a row and for input beyond the bounds.
std::vector<BatchRow> ReadRowsFile(const QString& path);

// The pass list row the window's Add makes for this row: the row's own time,
// or else defaultTime, and the window's texts. Throws
// a TessaryError (refused) "<origin>: Invalid argument to date encode" for a
// date outside the years a stamp holds, as printing it in the window would.
PassListRow MakePassListRow(const BatchRow& row, const QTime& defaultTime);
