#pragma once

#include <QPageSize>

class QPrintDialog;
class QPrinter;

// Qt's print dialog puts a queue's own default paper (often A4) on the printer
// whenever it shows or switches to a queue, although the operator sees no paper
// unless they open the printer's properties. The passes are cut for the paper
// the printer had before the dialog: it stays, unless the operator opened the
// properties, where a paper is chosen.
class PaperChoiceWatch {
public:
    // Call before the dialog is shown.
    PaperChoiceWatch(QPrintDialog& dialog, const QPrinter& printer);
    // Call after OK: puts the paper back when the operator chose none.
    void Apply(QPrinter& printer) const;

private:
    QPageSize paperBefore_;
    bool propertiesOpened_ = false;
};
