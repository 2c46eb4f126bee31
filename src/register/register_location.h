#pragma once

#include "common/tessary_error.h"

#include <QString>

// TESSARY_REGISTER holds something that is not a register setting: the
// programs stop rather than guess what was meant.
inline TessaryError RegisterSettingError(const QString& text) { return TessaryError(text, ErrorKind::Usage); }

// Where the register of issued passes is kept: the TESSARY_REGISTER setting,
// read by the window, tessary-print and tessary-register alike.
struct RegisterLocation {
    enum class Kind { Off, SQLite, PostgreSQL };
    Kind kind = Kind::SQLite;
    QString file;  // SQLite: the database file
    // PostgreSQL, from a URI as libpq writes them. A host beginning with "/"
    // is the folder of the server's socket; empty parts take libpq's defaults.
    QString host;
    int port = -1;
    QString user;
    QString password;
    QString database;
    QString connectOptions;  // "key=value;key=value" from the URI's query

    // How messages name the register: the file, or the URI without its password.
    QString Name() const;
};

// The register's file when TESSARY_REGISTER is not set:
// $XDG_DATA_HOME/tessary-utility/issued-passes.sqlite. Empty when this
// process has no home folder to keep it in.
QString DefaultRegisterFile();

// What the programs tell a user who is to name the register another way.
QString RegisterSettingHint();

// Why DefaultRegisterFile() is empty, with RegisterSettingHint(): no HOME, or
// one that is no folder (a service account's /nonexistent); empty when it
// names a file.
QString NoDefaultRegisterText();

// "off" (any case); a postgresql:// or postgres:// URI; or an absolute SQLite
// file name. Empty gives the default file. Throws RegisterSettingError for
// anything else and for a URI that cannot be read.
RegisterLocation ParseRegisterLocation(const QString& setting);

// The location TESSARY_REGISTER names in this process's environment.
RegisterLocation RegisterLocationFromEnvironment();
