#pragma once

#include "register/pass_register.h"

#include <QTextStream>
#include <vector>

// Writes one CSV line per record, after a header line, to path ("-": out).
// A void record has its void columns filled; they come last, so that a
// reader of the columns before them reads on as it did.
// Throws TessaryError (output failed) when the file cannot be written
// whole; an existing file then stays as it was, unless it is a device or a
// named pipe, which is written to.
void WriteRecordsCsv(const std::vector<PassRecord>& records, const QString& path, QTextStream& out);
