// Job submission through libcups: the one file that knows the scheduler.
#include "render/queue_job.h"

#include "common/tessary_error.h"

#include <QPrinter>
#include <cups/cups.h>

#include <memory>

namespace {

constexpr int kDefaultTimeoutSeconds = 30;

// libcups' own words for the last failure, or the status code when it has none.
QString LastCupsMessage()
{
    const QString message = QString::fromLocal8Bit(cupsLastErrorString());
    return message.isEmpty() ? QString::fromLatin1(ippErrorString(cupsLastError())) : message;
}

QString ServerName() { return QString::fromLocal8Bit(cupsServer()); }

[[noreturn]] void ThrowNotAccepted(const QPrinter& printer)
{
    throw TessaryError(
        QStringLiteral("The printer %1 did not accept the job: %2").arg(printer.printerName(), LastCupsMessage()));
}

[[noreturn]] void ThrowNoAnswer()
{
    throw TessaryError(QStringLiteral("The print server %1 did not answer").arg(ServerName()));
}

// A connection of the run's own whose every wait for the scheduler ends after
// the time limit: a stopped or hung scheduler would otherwise hold the run
// for minutes. timedOut says whether a wait ended so.
class SchedulerConnection {
public:
    SchedulerConnection()
        : http_(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             PrintServerTimeoutSeconds() * 1000, nullptr),
                &httpClose)
    {
        if (http_)
            httpSetTimeout(http_.get(), PrintServerTimeoutSeconds(), &SchedulerConnection::GiveUp, &timedOut_);
    }
    SchedulerConnection(const SchedulerConnection&) = delete;
    SchedulerConnection& operator=(const SchedulerConnection&) = delete;
    http_t* get() const { return http_.get(); }
    bool timedOut() const { return timedOut_; }

private:
    static int GiveUp(http_t*, void* timedOut)
    {
        *static_cast<bool*>(timedOut) = true;
        return 0;
    }

    std::unique_ptr<http_t, void (*)(http_t*)> http_;
    bool timedOut_ = false;
};

// Whether the scheduler knows the queue (a printer or a class). Asked with a
// request of its own: cupsGetNamedDest keeps waiting on a scheduler that does
// not answer even after the connection's time limit has given up.
bool QueueKnown(const SchedulerConnection& http, const QByteArray& queue)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queue.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    ipp_t* response = cupsDoRequest(http.get(), request, "/");
    ippDelete(response);
    if (http.timedOut())
        ThrowNoAnswer();
    return response && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

}  // namespace

int PrintServerTimeoutSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("TESSARY_PRINT_SERVER_TIMEOUT", &ok);
    return ok && seconds > 0 ? seconds : kDefaultTimeoutSeconds;
}

bool PrintServerKnowsQueue(const QString& queue)
{
    SchedulerConnection http;
    if (!http.get())
        return false;
    return QueueKnown(http, queue.section(QLatin1Char('/'), 0, 0).toLocal8Bit());
}

void SubmitPdfToQueue(const QPrinter& printer, const QString& pdfPath)
{
    // A queue instance ("queue/instance") prints on its queue with its own options.
    const QByteArray queue = printer.printerName().section(QLatin1Char('/'), 0, 0).toLocal8Bit();

    // A connection of the run's own: a scheduler that went away since the last
    // run is found here, and libcups' message then says why. Submitting looks
    // the queue up again and reports only "No such file or directory" for a
    // scheduler that is gone and for a queue that is gone alike, so both are
    // asked here first.
    SchedulerConnection http;
    if (!http.get())
        ThrowNotAccepted(printer);
    if (!QueueKnown(http, queue))
        ThrowNotAccepted(printer);

    const JobOptions options = QueueJobOptions(printer);
    int count = 0;
    cups_option_t* cupsOptions = nullptr;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.constData(), value.constData(), count, &cupsOptions);
    const int jobId = cupsPrintFile2(http.get(), queue.constData(), pdfPath.toLocal8Bit().constData(),
                                     printer.docName().toUtf8().constData(), count,
                                     cupsOptions);
    cupsFreeOptions(count, cupsOptions);
    if (http.timedOut())
        ThrowNoAnswer();
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
