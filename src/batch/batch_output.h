#pragma once

#include <QString>

class QPrinter;

// The printer as the window's run has it once its print dialog has chosen the
// output: a PDF file on US Letter with the origin at the paper's corner ...
void PreparePdfOutput(QPrinter& printer, const QString& pdfPath);

// ... or a CUPS queue on US Letter with the origin at its printable area.
// Throws BatchFailure(kExitPrintingFailed) "No printer named <queue>" when the
// scheduler does not know the queue (Qt would quietly write a PDF instead).
void PrepareQueueOutput(QPrinter& printer, const QString& queue);
