#include "preview/paper_choice_watch.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

PaperChoiceWatch::PaperChoiceWatch(QPrintDialog& dialog, const QPrinter& printer)
    : paperBefore_(printer.pageLayout().pageSize())
{
    // Qt's dialog names the button that opens paper, orientation and margins.
    if (auto* properties = dialog.findChild<QPushButton*>(QStringLiteral("properties")))
        QObject::connect(properties, &QPushButton::clicked, &dialog, [this] { propertiesOpened_ = true; });
}

void PaperChoiceWatch::Apply(QPrinter& printer) const
{
    if (!propertiesOpened_ && paperBefore_.isValid()
        && !printer.pageLayout().pageSize().isEquivalentTo(paperBefore_))
        printer.setPageSize(paperBefore_);
}
