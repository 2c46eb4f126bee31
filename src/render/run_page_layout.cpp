#include "render/run_page_layout.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

void PrepareLetterPrinter(QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    SetRunPageLayout(printer);
}

void SetRunPageLayout(QPrinter& printer)
{
    printer.setFullPage(false);
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        printer.setPageOrientation(QPageLayout::Portrait);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
        return;
    }
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
}
