#include "preview/preview_printer.h"

#include "output/run_page_layout.h"
#include "run/print_run.h"

#include <QPrinter>

std::unique_ptr<QPrinter> PreviewPrinterFor(const QPrinter& chosen)
{
    QPrinter choice(QPrinter::HighResolution);
    if (chosen.outputFormat() == QPrinter::PdfFormat)
        choice.setOutputFormat(QPrinter::PdfFormat);
    else
        choice.setPrinterName(chosen.printerName());
    CopyPageSetup(chosen, choice);
    SetRunPageLayout(choice);

    auto page = std::make_unique<QPrinter>(QPrinter::HighResolution);
    page->setOutputFormat(QPrinter::PdfFormat);
    CopyPageSetup(choice, *page);
    return page;
}
