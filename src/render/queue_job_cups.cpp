// Job submission through libcups: the one file that knows the scheduler.
#include "render/queue_job.h"

#include "common/tessary_error.h"

#include <QPrinter>
#include <cups/cups.h>

#include <memory>

namespace {

// libcups' own words for the last failure, or the status code when it has none.
QString LastCupsMessage()
{
    const QString message = QString::fromLocal8Bit(cupsLastErrorString());
    return message.isEmpty() ? QString::fromLatin1(ippErrorString(cupsLastError())) : message;
}

[[noreturn]] void ThrowNotAccepted(const QPrinter& printer)
{
    throw TessaryError(
        QStringLiteral("The printer %1 did not accept the job: %2").arg(printer.printerName(), LastCupsMessage()));
}

}  // namespace

void SubmitPdfToQueue(const QPrinter& printer, const QString& pdfPath)
{
    // A queue instance ("queue/instance") prints on its queue with its own options.
    const QByteArray queue = printer.printerName().section(QLatin1Char('/'), 0, 0).toLocal8Bit();

    // A connection of the run's own: a scheduler that went away since the last
    // run is found here, and libcups' message then says why. Submitting looks
    // the queue up again and reports only "No such file or directory" for a
    // scheduler that is gone and for a queue that is gone alike, so both are
    // asked here first.
    const std::unique_ptr<http_t, void (*)(http_t*)> http(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr), &httpClose);
    if (!http)
        ThrowNotAccepted(printer);
    cups_dest_t* dest = cupsGetNamedDest(http.get(), queue.constData(), nullptr);
    if (!dest)
        ThrowNotAccepted(printer);
    cupsFreeDests(1, dest);

    const JobOptions options = QueueJobOptions(printer);
    int count = 0;
    cups_option_t* cupsOptions = nullptr;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.constData(), value.constData(), count, &cupsOptions);
    const int jobId = cupsPrintFile2(http.get(), queue.constData(), pdfPath.toLocal8Bit().constData(),
                                     printer.docName().toUtf8().constData(), count,
                                     cupsOptions);
    cupsFreeOptions(count, cupsOptions);
    if (jobId == 0)
        ThrowNotAccepted(printer);
}

void UseCupsServer(const QString& server)
{
    cupsSetServer(server.toLocal8Bit().constData());
}

QString DefaultQueueName()
{
    // With no name, libcups answers lp's default: PRINTER or LPDEST, else the
    // lpoptions default, else the scheduler's.
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest)
        return QString();
    QString name = QString::fromLocal8Bit(dest->name);
    if (dest->instance)
        name += QLatin1Char('/') + QString::fromLocal8Bit(dest->instance);
    cupsFreeDests(1, dest);
    return name;
}
