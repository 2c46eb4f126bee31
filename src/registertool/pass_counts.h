#pragma once

#include "register/pass_register.h"

#include <QString>
#include <vector>

// How many pass records a group holds: each record counts as issued,
// re-issued or pending, a void one in void as well, and one let in at a
// gate (an admission in force) in admitted as well.
struct PassCount {
    int issued = 0;
    int reissued = 0;
    int pending = 0;
    int voided = 0;
    int admitted = 0;
};

enum class CountBy { All, Day, Lane, Run };

struct CountGroup {
    QString key;  // local day yyyy-MM-dd, lane or run id; "" for All
    PassCount count;
};

// The groups in the order of their keys (days and lanes) or of their first
// record (runs); one group of every record for All. Days are the local days
// the passes were recorded on, as list's --from and --to take them.
std::vector<CountGroup> CountRecords(const std::vector<PassRecord>& records, CountBy by);

// Every group added up.
PassCount TotalCount(const std::vector<CountGroup>& groups);

// A table of the groups and a last line "all" of their totals.
QString CountsText(const std::vector<CountGroup>& groups, CountBy by);

// "day", "lane", "run", or "" for All.
QString CountByName(CountBy by);
