#pragma once

#include "passes/pass_serial.h"
#include "passes/run_pass.h"
#include "passes/valid_on_stamp.h"
#include "register/register_location.h"
#include "support/scoped_env.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <ostream>
#include <vector>

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// count passes of one row, on consecutive cells of sheet 1.
inline std::vector<RunPass> RowPasses(const QString& lane, const QDateTime& validOn, int count)
{
    std::vector<RunPass> passes;
    const CalendarInstant instant = DecodeValidOnStamp(EncodeValidOnStamp(validOn.date(), validOn.time()));
    for (int i = 0; i < count; ++i) {
        RunPass pass;
        pass.passNumber = PassNumberText(instant, i);
        pass.barcode = BarcodeText(pass.passNumber, lane);
        pass.lane = lane;
        pass.validOn = instant;
        pass.sheet = 1;
        pass.cell = i + 1;
        passes.push_back(pass);
    }
    return passes;
}

// A PostgreSQL server of the test program's own, started on first use and
// stopped with the application; nullptr (and why, in missing) when this
// machine cannot run one.
class PrivatePostgres;
PrivatePostgres* SharedPostgres(QString* missing);

// The register a test runs against: a SQLite file in folder, or a database
// of the shared PostgreSQL server. Sets missing when there is none.
enum class Backend { SQLite, PostgreSQL };
RegisterLocation TestRegister(Backend backend, const QString& folder, QString* missing);
inline std::string BackendName(Backend backend) { return backend == Backend::SQLite ? "SQLite" : "PostgreSQL"; }

// Runs statements on the register's database from outside the programs: a
// database of a test's own on the shared server, a register turned back into
// an older one. Returns "" or the first failure.
QString ExecOnRegister(const RegisterLocation& location, const QStringList& statements);

struct RunInfo;

// Records passes as issued by an earlier run, as its Reserve and Confirm
// would, then dates their records and issues to when the run started: a
// register that holds older records. Returns "" or what failed.
QString RecordIssuedEarlier(const RegisterLocation& location, const RunInfo& run, const std::vector<RunPass>& passes);
