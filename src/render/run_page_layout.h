#pragma once

class QPrinter;

// Puts a printer on the passes' stock: US Letter, portrait, before the dialog.
void PrepareLetterPrinter(QPrinter& printer);

// The drawing origin for the output the print dialog chose. A PDF file has no
// unprintable border: portrait, zero margins, the paper's corner. A queue: the
// corner of its printable area, its margins being its own unprintable ones and
// never the 10 pt both Qt engines start with. Holds whatever the dialog did before.
void SetRunPageLayout(QPrinter& printer);
