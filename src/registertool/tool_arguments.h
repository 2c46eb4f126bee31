#pragma once

#include "register/pass_register.h"
#include "registertool/register_commands.h"

#include <QCommandLineParser>
#include <QDate>
#include <QString>


// A usage failure, pointing at --help.
[[noreturn]] void UsageFault(const QString& message);

// The day --option gives, YYYY-MM-DD; a usage failure for anything else.
QDate ParseDay(const QString& option, const QString& text);

// The barcode find takes: what BarcodeText makes, a pass number of eight
// characters (PassNumberText: digits; for a serial below zero, of a valid-on
// day in an odd year before 2000, zeros, a minus and digits) followed by a
// lane code of two digits. A usage failure for anything else, the empty text
// included, which the register would take for no barcode at all.
QString ParseBarcode(const QString& text);

// The records --from, --to and --lane ask for.
RecordFilter FilterOf(const QCommandLineParser& parser);
