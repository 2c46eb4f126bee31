#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

class QPrinter;

using JobOptions = std::vector<std::pair<QByteArray, QByteArray>>;

// The job options the operator chose for the printer's queue in the print
// dialog: paper, copies and collation, sides, orientation and the queue's own
// options from its properties page, as Qt's own queue output would send them,
// except the page ranges: the job holds only the sheets of the range.
JobOptions QueueJobOptions(const QPrinter& printer);

// Sends a finished PDF to the printer's queue as one job with those options.
// Throws "The printer <name> did not accept the job: <libcups' message>" when
// the scheduler cannot be reached, the queue no longer exists, or the
// scheduler refuses the job.
void SubmitPdfToQueue(const QPrinter& printer, const QString& pdfPath);
