#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

class QPageSize;
class QPrinter;

using JobOptions = std::vector<std::pair<QByteArray, QByteArray>>;

// The job options the operator chose for the printer's queue in the print
// dialog: paper, copies and collation, sides, orientation and the queue's own
// options from its properties page, as Qt's own queue output would send them,
// except the page ranges: the job holds only the sheets of the range.
JobOptions QueueJobOptions(const QPrinter& printer);

// Adds job options of the caller's own (lp's -o) to the printer's queue
// options; a later option of a name replaces the earlier.
void AddQueueJobOptions(QPrinter& printer, const JobOptions& options);

// The media name a queue is sent for a page size: the PWG self-describing
// name ("na_letter_8.5x11in"), which IPP Everywhere queues take as it is and
// PPD queues map to their own sizes.
QByteArray PwgMediaName(const QPageSize& pageSize);

// Sends a finished PDF to the printer's queue as one job with those options,
// titled with the printer's document name.
// Throws "The printer <name> did not accept the job: <libcups' message>" when
// the scheduler cannot be reached, the queue no longer exists, or the
// scheduler refuses the job, and "The print server <server> did not answer"
// when it takes longer than PrintServerTimeoutSeconds() to answer.
void SubmitPdfToQueue(const QPrinter& printer, const QString& pdfPath);

// Whether the print scheduler knows the queue, asked with the same time limit;
// false when no scheduler takes the connection. Throws "The print server
// <server> did not answer" when one takes it but does not answer (stopped or
// hung). Qt's own calls to the scheduler wait without a limit, so a caller
// asks here first.
bool PrintServerKnowsQueue(const QString& queue);

// How long a call to the scheduler may wait for an answer: 30 seconds, or the
// whole seconds TESSARY_PRINT_SERVER_TIMEOUT names.
int PrintServerTimeoutSeconds();
// Prints through this scheduler ("host", "host:port" or a socket path) from
// now on, in place of the one libcups would choose.
void UseCupsServer(const QString& server);

// The queue lp would print on: PRINTER, LPDEST, the user's lpoptions default
// or the scheduler's; "" when there is none.
QString DefaultQueueName();
