#pragma once

#include "register/register_location.h"
#include "support/batch_tool.h"
#include "support/register_test_support.h"

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <memory>

// The environment the programs find the register in: the test's own, with
// TESSARY_REGISTER naming location.
QProcessEnvironment RegisterEnvironment(const RegisterLocation& location);

// The built tessary-register started on location, input written to its
// standard input and closed; the caller waits for it.
std::unique_ptr<QProcess> StartTessaryRegister(const QStringList& arguments, const RegisterLocation& location,
                                               const QByteArray& input = {});

// One run of the built tessary-register on location, waited for.
ToolRun RunTessaryRegister(const QStringList& arguments, const RegisterLocation& location, const QByteArray& input = {});

// A database of the test's own on the shared PostgreSQL server, made empty,
// or a SQLite file in folder; sets missing when there is none.
RegisterLocation OwnTestRegister(Backend backend, const QString& folder, const QString& database, QString* missing);
