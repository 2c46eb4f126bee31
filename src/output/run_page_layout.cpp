#include "output/run_page_layout.h"

#include "output/queue_job.h"

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
    // A queue lays the run out in the dots its job is printed at, so that the
    // layout's pixel adjustments are the printer's pixels: the job's own
    // resolution, else the queue's; one whose resolution is unknown keeps the run's.
    int dpi = JobResolutionDpi(printer);
    if (dpi == 0)
        dpi = QueueResolutionDpi(printer.printerName());
    if (dpi > 0 && dpi != printer.resolution())
        printer.setResolution(dpi);
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
}
