#pragma once

#include "register/pass_register.h"

#include <QCommandLineParser>
#include <QTextStream>

// The commands that only read the register, each on a register opened
// read-only; they return the exit status or throw TessaryError.
int ListCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out);
int FindCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out);
int CountsCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out);
int ExportCommand(PassRegister& passRegister, const QCommandLineParser& parser, QTextStream& out);
