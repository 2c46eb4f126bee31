#pragma once

#include "register/pass_register.h"

#include <QCommandLineParser>
#include <QTextStream>

// The commands that change the register (prune only with --yes), or copy
// it; they return the exit status or throw TessaryError.
int VoidCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out);
int PruneCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out);
int BackupCommand(PassRegister& passRegister, const QString& file, QTextStream& out);
int WithdrawPendingCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out);

// The reason backup refuses a register before opening it: a PostgreSQL
// register is pg_dump's to copy, and a file that exists is not overwritten.
// Empty when it may go on.
QString BackupRefusal(const RegisterLocation& location, const QString& file);
