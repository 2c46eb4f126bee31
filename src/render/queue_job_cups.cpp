// Job submission through libcups: the one file that knows the scheduler.
#include "render/queue_job.h"

#include "common/tessary_error.h"

#include <QPrinter>
#include <cups/cups.h>

void SubmitPdfToQueue(const QPrinter& printer, const QString& pdfPath)
{
    // A queue instance ("queue/instance") prints on its queue with its own options.
    const QString queue = printer.printerName().section(QLatin1Char('/'), 0, 0);
    const JobOptions options = QueueJobOptions(printer);
    int count = 0;
    cups_option_t* cupsOptions = nullptr;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.constData(), value.constData(), count, &cupsOptions);
    const int jobId = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.toLocal8Bit().constData(),
                                     pdfPath.toLocal8Bit().constData(), "", count, cupsOptions);
    cupsFreeOptions(count, cupsOptions);
    if (jobId == 0) {
        // A scheduler that cannot be reached leaves only the status code.
        QString message = QString::fromLocal8Bit(cupsLastErrorString());
        if (message.isEmpty())
            message = QString::fromLatin1(ippErrorString(cupsLastError()));
        throw TessaryError(
            QStringLiteral("The printer %1 did not accept the job: %2").arg(printer.printerName(), message));
    }
}
