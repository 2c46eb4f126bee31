#include "batch/batch_output.h"

#include "batch/batch_failure.h"
#include "common/tessary_error.h"
#include "render/queue_job.h"
#include "render/run_page_layout.h"

#include <QPrinter>
#include <QPrinterInfo>

void PreparePdfOutput(QPrinter& printer, const QString& pdfPath)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    PrepareLetterPrinter(printer);
}

namespace {

BatchFailure NoPrinterNamed(const QString& queue)
{
    return BatchFailure(kExitPrintingFailed, QStringLiteral("No printer named %1").arg(queue));
}

}  // namespace

void CheckQueueKnown(const QString& queue)
{
    bool known = false;
    try {
        known = PrintServerKnowsQueue(queue);
    } catch (const TessaryError& error) {
        throw BatchFailure(kExitPrintingFailed, error.text());
    }
    if (!known)
        throw NoPrinterNamed(queue);
}

void PrepareQueueOutput(QPrinter& printer, const QString& queue)
{
    const auto noSuchPrinter = [&queue] { return NoPrinterNamed(queue); };
    if (QPrinterInfo::printerInfo(queue).isNull())
        throw noSuchPrinter();
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(queue);
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName() != queue)
        throw noSuchPrinter();
    PrepareLetterPrinter(printer);
}
