#include "support/pdf_sheets.h"

#include "common/tessary_error.h"
#include "output/run_page_layout.h"
#include "run/print_run.h"
#include "support/planned_run.h"

#include <QPrinter>

int PrintPassesToPdf(const QString& pdfPath, int dpi, const LayoutSettings& settings,
                     const std::vector<PassListRow>& rows, const HeadingStyleSource& style,
                     const QString& bitmapPath)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setResolution(dpi);
    PrepareLetterPrinter(printer);

    PrintRunRequest request;
    request.settings = settings;
    request.rows = rows;
    request.style = &style;
    request.bitmapPath = bitmapPath;
    return PrintRequest(printer, request).passesDrawn;
}
