#pragma once

#include "register/pass_register.h"
#include "register/register_location.h"

#include <QCommandLineParser>
#include <QTextStream>

// check: each barcode (the arguments, else the lines of standard input)
// answered as a gate answers it, one line each as it is answered. Returns 0
// when every barcode was admitted (or, with --dry-run, would be), 1 when
// some were refused, 3 when some could not be checked.
int CheckCommand(const RegisterLocation& location, const QCommandLineParser& parser, QTextStream& out);

// undo-admission BARCODE --reason TEXT: the admission in force of the
// barcode is undone and stays recorded as undone.
int UndoAdmissionCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out);

// The lane --lane gives a gate: two digits; a usage failure for anything else.
QString ParseGateLane(const QString& text);
