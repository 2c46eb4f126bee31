#pragma once

#include <QStringList>
#include <vector>

// The register's tables, as statements that both SQLite and PostgreSQL take.
// Step i brings a register of version i to version i + 1; a new version adds
// a step and never changes an old one.
const std::vector<QStringList>& RegisterSchemaSteps();

inline int RegisterSchemaVersion() { return int(RegisterSchemaSteps().size()); }

// The first version whose passes can be marked void. An older register read
// as it stands (by a program that may only read it) has no void columns.
constexpr int kVoidMarksSchemaVersion = 3;

// The first version that keeps the printer correction of each run.
constexpr int kRunCorrectionSchemaVersion = 4;

// The first version that keeps the copies of each run.
constexpr int kRunCopiesSchemaVersion = 5;

// The first version that keeps each run's job and print server.
constexpr int kRunJobSchemaVersion = 6;

// The first version that keeps admissions at gates and withdrawn passes.
constexpr int kAdmissionsSchemaVersion = 7;
