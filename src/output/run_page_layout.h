#pragma once

class QPrinter;

// The resolution a run to a file is laid out at: what Qt's high-resolution
// printer gives a PDF. A queue's run takes the queue's own (SetRunPageLayout).
constexpr int kFileResolutionDpi = 1200;

// Puts a printer on the passes' stock: US Letter, portrait, before the dialog.
void PrepareLetterPrinter(QPrinter& printer);

// The drawing origin for the output the print dialog chose. A PDF file has no
// unprintable border: portrait, zero margins, the paper's corner. A queue: the
// corner of its printable area, its margins being its own unprintable ones and
// never the 10 pt both Qt engines start with, laid out at the queue's own
// resolution when the scheduler tells it. Holds whatever the dialog did before.
void SetRunPageLayout(QPrinter& printer);
