#pragma once

#include <QString>

class QPrinter;

// The printer as the window's run has it once its print dialog has chosen the
// output: a PDF file on US Letter with the origin at the paper's corner ...
void PreparePdfOutput(QPrinter& printer, const QString& pdfPath);

// Asks the scheduler, with a time limit, whether it knows the queue; Qt's
// printer asks it without one as soon as it is made, so this comes first.
// Throws BatchFailure(kExitPrintingFailed) "No printer named <queue>", or "The
// print server <server> did not answer" when it does not answer in time.
void CheckQueueKnown(const QString& queue);

// ... or a CUPS queue on US Letter with the origin at its printable area.
// Throws BatchFailure(kExitPrintingFailed) "No printer named <queue>" when the
// scheduler does not know the queue (Qt would quietly write a PDF instead).
void PrepareQueueOutput(QPrinter& printer, const QString& queue);
