#pragma once

#include "common/stop_signal.h"
#include "common/tessary_error.h"

#include <QByteArray>
#include <QString>
#include <optional>
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

// A job on the printer's queue, created held: nothing of it prints until the
// whole document is in and Release has been answered. Every request waits at
// most PrintServerTimeoutSeconds() for its answer. A job that is not released
// is cancelled when the object goes, so a run that fails or is stopped leaves
// no job behind.
class HeldQueueJob {
public:
    // Creates the job, titled with the printer's document name and carrying
    // the printer's job options. Throws "The printer <name> did not accept the
    // job: <libcups' message>" when the scheduler cannot be reached, the queue
    // no longer exists or refuses jobs, and "The print server <server> did not
    // answer" when it takes longer than the limit. A job created by a request
    // that was not answered holds no document: it cannot print.
    explicit HeldQueueJob(const QPrinter& printer);
    ~HeldQueueJob();
    HeldQueueJob(const HeldQueueJob&) = delete;
    HeldQueueJob& operator=(const HeldQueueJob&) = delete;

    // Sends the finished PDF as the job's one document; throws as above.
    void SendDocument(const QString& pdfPath);
    // Lets the job print. When the answer is lost, the job's state is asked
    // again: a job still held is cancelled and "did not answer" thrown, a
    // released one counts as handed on. Throws MayHavePrinted when that
    // cannot be learned either. A job the printer's options ask to hold (a
    // job-hold-until other than no-hold) is handed on held as they ask: until
    // released by hand, or until the time they name.
    void Release();
    // Cancels the job now; throws MayHavePrinted when the scheduler does
    // not take the cancellation (the job may be released by hand).
    void Cancel();

    // "Passes-12"
    QString Name() const;
    // The print server the job is on: "localhost:631", or its socket.
    static QString Server();

private:
    QString queue_;
    QString printerName_;
    int id_ = 0;
    bool settled_ = false;  // released, or left to the operator: not to be cancelled
    QByteArray holdUntil_;  // the job-hold-until asked for; "" when none
};


// Whether the print scheduler knows the queue, asked with the same time limit.
// Throws "The print server <server> cannot be reached: <reason>" when no
// scheduler takes the connection (refused, the host unknown), and "The print
// server <server> did not answer" when one takes it but does not answer
// (stopped or hung). Qt's own calls to the scheduler wait without a limit, so a caller
// asks here first.
bool PrintServerKnowsQueue(const QString& queue);

// The resolution the job's own options name (Resolution=600dpi from the
// dialog's properties page, a -o or the lpoptions), in dots per inch; 0 when
// they name none.
int JobResolutionDpi(const QPrinter& printer);

// The resolution the queue renders its jobs at, in dots per inch: the
// queue's own printer-resolution-default (its PPD's default resolution), or 0
// when the scheduler does not say. Asked with the time limit below.
int QueueResolutionDpi(const QString& printerName);

// How long a call to the scheduler may wait for an answer: 30 seconds, or the
// whole seconds TESSARY_PRINT_SERVER_TIMEOUT names.
int PrintServerTimeoutSeconds();
// The scheduler libcups prints through: "host", "host:port" or a socket path.
QString PrintServerName();
// Prints through this scheduler ("host", "host:port" or a socket path) from
// now on, in place of the one libcups would choose.
void UseCupsServer(const QString& server);

// The queue lp would print on: LPDEST, PRINTER, the user's lpoptions default
// or the scheduler's; "" when there is none.
QString DefaultQueueName();

// The options of the destination ("queue" or "queue/instance") as lp takes
// them under its own: the queue's defaults, then the system's lpoptions, then
// the user's. Nothing when the scheduler knows no such destination.
std::optional<JobOptions> DestinationOptions(const QString& destination);

// The job ("Passes-12") the last HeldQueueJob became once released; "" when
// the last one was not, or before the first.
QString LastReleasedJobName();
// The job-hold-until that last job was handed on with, held; "" when it was
// let print at once.
QString LastReleasedJobHoldUntil();

// The options of one -o as lp takes them: several to a text, each NAME=VALUE
// or NAME, values quoted as a shell quotes them, read by libcups' own parser.
JobOptions ParsedJobOptions(const QString& text);
