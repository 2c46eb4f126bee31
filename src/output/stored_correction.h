#pragma once

#include "sheet/printer_correction.h"

#include <QString>

class QPrinter;

// The name a correction is kept under: "queue@server" for a queue, through
// the scheduler libcups prints through, and one name for every file.
QString CorrectionOutputKey(const QPrinter& printer);
QString QueueCorrectionKey(const QString& queue, const QString& server);
inline const QString kPrintToFileCorrectionKey = QStringLiteral("Print to File");

// The correction kept for an output in the user's settings (organisation and
// application "tessary-utility"), never in a label file; none when nothing is
// kept or what is kept does not read. Throws TessaryError when the settings
// cannot be written.
PrinterCorrection StoredCorrection(const QString& outputKey);
void StoreCorrection(const QString& outputKey, const PrinterCorrection& correction);
