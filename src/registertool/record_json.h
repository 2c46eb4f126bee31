#pragma once

#include "register/pass_register.h"
#include "registertool/pass_counts.h"

#include <QJsonObject>
#include <QString>
#include <vector>

// --json: one document for the whole answer, times in UTC as the CSV export
// has them, for a script to read instead of the columns meant for people.

// {"records": [{"barcode": ..., "run": {...}, "void": null or {...}}, ...]}
QJsonObject RecordsJson(const std::vector<PassRecord>& records);

// {"by": "lane" or null, "groups": [{"lane": "03", "issued": 2, ...}], "all": {...}}
QJsonObject CountsJson(const std::vector<CountGroup>& groups, CountBy by);

// The document's text as it goes to a terminal or a pipe (see TerminalJson).
QString JsonText(const QJsonObject& document);
