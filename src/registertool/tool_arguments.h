#pragma once

#include "register/pass_register.h"
#include "registertool/register_commands.h"

#include <QCommandLineParser>
#include <QDate>
#include <QString>

// Ends tessary-register with a status and the message for standard error.
struct ToolFailure {
    RegisterToolStatus status;
    QString message;
};

// A usage failure, pointing at --help.
[[noreturn]] void UsageFault(const QString& message);

// The day --option gives, YYYY-MM-DD; a usage failure for anything else.
QDate ParseDay(const QString& option, const QString& text);

// The records --from, --to and --lane ask for.
RecordFilter FilterOf(const QCommandLineParser& parser);
