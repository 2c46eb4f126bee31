#pragma once

#include "output/queue_job.h"
#include "output/queue_job_options.h"

#include <QString>
#include <QTemporaryDir>

class QPrinter;
struct BatchOptions;

// The printer as the window's run has it once its print dialog has chosen the
// output: a PDF file on US Letter with the origin at the paper's corner ...
void PreparePdfOutput(QPrinter& printer, const QString& pdfPath);

// A run to a file needs no print server; Qt's printer would ask one for its
// destinations, without a time limit, as soon as it is made.
void AskNoPrintServer();

// The queue a run prints on: the --printer queue, or lp's default destination
// when neither it nor --pdf is given, through the -h scheduler when one is
// named. The scheduler is asked with a time limit whether it knows the queue;
// Qt's printer asks it without one as soon as it is made, so this comes first.
// Throws a TessaryError (usage) when there is no default destination,
// a TessaryError (failed) "No printer named <queue>" when the
// scheduler does not know the queue, or "The print server <server> did not
// answer" when it does not answer in time.
QString KnownQueue(const BatchOptions& options);

// ... or that CUPS queue (or instance) on US Letter with the origin at its
// printable area, with the job's title (the label file's name unless --title)
// and its options as lp would send them: the destination's lpoptions under
// -n and -o, under the stock's own (LayeredPassStockOptions). Returns the -o
// and lpoptions options the stock's replace. Throws a TessaryError (failed) "No
// printer named <queue>" when the scheduler does not know the queue (Qt would
// quietly write a PDF).
PassStockJobOptions PrepareQueueOutput(QPrinter& printer, const BatchOptions& options, const QString& queue);

// A PDF bound for standard output: the run writes it to a folder only this
// user can open, and it is copied out only once the run has completed it, so
// that a reader never gets part of a run.
class StandardOutputPdf {
public:
    StandardOutputPdf();
    QString path() const;
    // Throws TessaryError with the system's reason when the staged file cannot
    // be read or standard output takes no byte of it, MayHavePrinted when it
    // took part of it, and RunStopped when a stop signal ends the copy before
    // its first byte.
    void CopyOut() const;

private:
    QTemporaryDir folder_;
};
