// Job submission through libcups: the one file that knows the scheduler.
#include "output/queue_job.h"

#include "common/tessary_error.h"

#include <QDebug>
#include <QFile>
#include <QPrinter>
#include <cups/cups.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

constexpr int kDefaultTimeoutSeconds = 30;

// For a caller that printed through a run and reports the job as lp does.
QString lastReleasedJob;
QString lastHoldUntil;

// libcups' own words for the last failure, or the status code when it has none.
QString LastCupsMessage()
{
    const QString message = QString::fromLocal8Bit(cupsLastErrorString());
    return message.isEmpty() ? QString::fromLatin1(ippErrorString(cupsLastError())) : message;
}

// As the operator names it: a socket's path, or the host with any port but IPP's own.
QString ServerName()
{
    const QString server = QString::fromLocal8Bit(cupsServer());
    if (server.startsWith(QLatin1Char('/')) || ippPort() == IPP_PORT)
        return server;
    return QStringLiteral("%1:%2").arg(server).arg(ippPort());
}

[[noreturn]] void ThrowNotAccepted(const QString& printerName, const QString& reason = LastCupsMessage())
{
    throw TessaryError(QStringLiteral("The printer %1 did not accept the job: %2").arg(printerName, reason));
}

QByteArray QueueOf(const QString& printerName)
{
    // A queue instance ("queue/instance") prints on its queue with its own options.
    return printerName.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
}

QByteArray PrinterUri(const QByteArray& queue)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     queue.constData());
    return QByteArray(uri);
}

[[noreturn]] void ThrowNoAnswer()
{
    throw TessaryError(QStringLiteral("The print server %1 did not answer").arg(ServerName()));
}

// Why the scheduler took no connection, in the system's words. libcups keeps
// only "Host is down" for any failed connect, so one plain connect is tried
// again to learn the reason (refused, no route, no such socket); briefly, as
// a host that drops the packets has had its whole time limit already.
QString ConnectionFailure()
{
    constexpr int kSecondsToLearnWhy = 2;
    const QString saidByCups = LastCupsMessage();
    char port[16];
    std::snprintf(port, sizeof port, "%d", ippPort());
    http_addrlist_t* addresses = httpAddrGetList(cupsServer(), AF_UNSPEC, port);
    if (!addresses)
        return saidByCups;  // the resolver's words: the host is unknown
    QString reason = saidByCups;
    const int fd = socket(httpAddrFamily(&addresses->addr), SOCK_STREAM, 0);
    if (fd >= 0) {
        const timeval limit{std::min(kSecondsToLearnWhy, PrintServerTimeoutSeconds()), 0};
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        if (connect(fd, &addresses->addr.addr, socklen_t(httpAddrLength(&addresses->addr))) != 0) {
            const int why = errno;
            reason = why == EINPROGRESS || why == ETIMEDOUT || why == EAGAIN
                         ? QStringLiteral("no answer within %1 s").arg(PrintServerTimeoutSeconds())
                         : QString::fromLocal8Bit(std::strerror(why));
        }
        close(fd);
    }
    httpAddrFreeList(addresses);
    return reason;
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

// A server that cannot be reached is not a queue it does not know: the
// operator must look at the server, not at the queue's name.
[[noreturn]] void ThrowCannotBeReached(const QString& reason)
{
    throw TessaryError(QStringLiteral("The print server %1 cannot be reached: %2").arg(ServerName(), reason));
}

// A request for one attribute of the queue.
ipp_t* PrinterAttributeRequest(const QByteArray& queue, const char* attribute)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(queue).constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, attribute);
    return request;
}

// Whether the scheduler knows the queue (a printer or a class). Asked with a
// request of its own: cupsGetNamedDest keeps waiting on a scheduler that does
// not answer even after the connection's time limit has given up.
bool QueueKnown(const SchedulerConnection& http, const QByteArray& queue)
{
    ipp_t* response = cupsDoRequest(http.get(), PrinterAttributeRequest(queue, "printer-name"), "/");
    ippDelete(response);
    if (http.timedOut())
        ThrowNoAnswer();
    if (!response && cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        ThrowCannotBeReached(LastCupsMessage());
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
        ThrowCannotBeReached(ConnectionFailure());
    return QueueKnown(http, QueueOf(queue));
}

int QueueResolutionDpi(const QString& printerName)
{
    SchedulerConnection http;
    if (!http.get())
        return 0;
    ipp_t* response = cupsDoRequest(
        http.get(), PrinterAttributeRequest(QueueOf(printerName), "printer-resolution-default"), "/");
    int dpi = 0;
    if (!http.timedOut() && response) {
        if (ipp_attribute_t* attribute = ippFindAttribute(response, "printer-resolution-default", IPP_TAG_RESOLUTION)) {
            int yres = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int xres = ippGetResolution(attribute, 0, &yres, &units);
            // Square dots only: a printer of unequal ones keeps the run's own
            // resolution rather than a layout stretched one way.
            if (xres == yres && xres > 0)
                dpi = units == IPP_RES_PER_CM ? int(std::lround(xres * 2.54)) : xres;
        }
    }
    ippDelete(response);
    return dpi;
}

namespace {

// A request about one job of the queue, as its owner.
ipp_t* JobRequest(ipp_op_t operation, const QByteArray& queue, int jobId)
{
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(queue).constData());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

bool Succeeded(ipp_t* response) { return response && ippGetStatusCode(response) <= IPP_STATUS_OK_EVENTS_COMPLETE; }

// The job's state, or 0 when the scheduler does not tell it in time.
int JobState(const QByteArray& queue, int jobId)
{
    SchedulerConnection http;
    if (!http.get())
        return 0;
    ipp_t* request = JobRequest(IPP_OP_GET_JOB_ATTRIBUTES, queue, jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
    ipp_t* response = cupsDoRequest(http.get(), request, "/jobs/");
    int state = 0;
    if (!http.timedOut() && Succeeded(response)) {
        if (ipp_attribute_t* attribute = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
            state = ippGetInteger(attribute, 0);
    }
    ippDelete(response);
    return state;
}

}  // namespace

HeldQueueJob::HeldQueueJob(const QPrinter& printer)
    : queue_(QString::fromLocal8Bit(QueueOf(printer.printerName()))), printerName_(printer.printerName())
{
    lastReleasedJob.clear();
    const QByteArray queue = queue_.toLocal8Bit();
    // A connection of the run's own: a scheduler that went away since the last
    // run is found here, and libcups' message then says why. The queue is asked
    // for first: a scheduler that is gone and a queue that is gone would
    // otherwise both read "No such file or directory".
    SchedulerConnection http;
    if (!http.get())
        ThrowNotAccepted(printerName_);
    if (!QueueKnown(http, queue))
        ThrowNotAccepted(printerName_);

    JobOptions options = QueueJobOptions(printer);
    // Held until its whole document is in, whatever it is asked to be held
    // until afterwards.
    for (auto option = options.begin(); option != options.end();) {
        if (option->first.compare("job-hold-until", Qt::CaseInsensitive) == 0) {
            holdUntil_ = option->second == "no-hold" ? QByteArray() : option->second;
            option = options.erase(option);
        } else {
            ++option;
        }
    }
    options.emplace_back("job-hold-until", "indefinite");
    int count = 0;
    cups_option_t* cupsOptions = nullptr;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.constData(), value.constData(), count, &cupsOptions);
    ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(queue).constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 printer.docName().toUtf8().constData());
    cupsEncodeOptions2(request, count, cupsOptions, IPP_TAG_OPERATION);
    cupsEncodeOptions2(request, count, cupsOptions, IPP_TAG_JOB);
    cupsFreeOptions(count, cupsOptions);
    ipp_t* response = cupsDoRequest(http.get(), request, "/printers/" + queue);
    if (Succeeded(response)) {
        if (ipp_attribute_t* attribute = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER))
            id_ = ippGetInteger(attribute, 0);
    }
    ippDelete(response);
    if (http.timedOut())
        ThrowNoAnswer();
    if (id_ == 0)
        ThrowNotAccepted(printerName_);
}

HeldQueueJob::~HeldQueueJob()
{
    if (id_ == 0 || settled_)
        return;
    try {
        Cancel();
    } catch (const TessaryError& error) {
        qWarning().noquote() << error.text();
    }
}

QString HeldQueueJob::Server() { return ServerName(); }

QString HeldQueueJob::Name() const { return queue_ + QLatin1Char('-') + QString::number(id_); }

void HeldQueueJob::SendDocument(const QString& pdfPath)
{
    const QByteArray queue = queue_.toLocal8Bit();
    SchedulerConnection http;
    if (!http.get())
        ThrowNotAccepted(printerName_);
    ipp_t* request = JobRequest(IPP_OP_SEND_DOCUMENT, queue, id_);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, "application/pdf");
    ippAddBoolean(request, IPP_TAG_OPERATION, "last-document", 1);
    ipp_t* response = cupsDoFileRequest(http.get(), request, "/printers/" + queue, QFile::encodeName(pdfPath).constData());
    const bool sent = Succeeded(response);
    ippDelete(response);
    if (http.timedOut())
        ThrowNoAnswer();
    if (!sent)
        ThrowNotAccepted(printerName_);
}

void HeldQueueJob::Release()
{
    const QByteArray queue = queue_.toLocal8Bit();
    lastHoldUntil.clear();
    bool answered = false;
    bool accepted = false;
    QString refusal;
    {
        SchedulerConnection http;
        if (http.get()) {
            // Held as asked: indefinitely as it is, or until the time asked for.
            ipp_t* request = JobRequest(holdUntil_.isEmpty() ? IPP_OP_RELEASE_JOB : IPP_OP_HOLD_JOB, queue, id_);
            // A keyword (indefinite, night, ...), or a time of day as a name.
            if (!holdUntil_.isEmpty())
                ippAddString(request, IPP_TAG_OPERATION, holdUntil_.contains(':') ? IPP_TAG_NAME : IPP_TAG_KEYWORD,
                             "job-hold-until", nullptr, holdUntil_.constData());
            ipp_t* response = cupsDoRequest(http.get(), request, "/jobs/");
            answered = response && !http.timedOut();
            accepted = answered && Succeeded(response);
            refusal = LastCupsMessage();
            ippDelete(response);
        }
    }
    // Handed on: the job is the scheduler's now, named for a caller that reports it.
    const auto handedOn = [this] {
        settled_ = true;
        lastReleasedJob = Name();
        lastHoldUntil = QString::fromLatin1(holdUntil_);
    };
    if (accepted) {
        handedOn();
        return;
    }
    if (answered) {
        // Refused: the job is still held and goes with this object.
        ThrowNotAccepted(printerName_, refusal);
    }
    // The request may have reached the scheduler: only the job itself can
    // tell whether it was released.
    const int state = JobState(queue, id_);
    if (state == IPP_JSTATE_HELD && holdUntil_.isEmpty()) {
        Cancel();
        ThrowNoAnswer();
    }
    if (state != 0) {
        handedOn();
        return;
    }
    settled_ = true;  // not to be cancelled blindly: it may be printing
    throw MayHavePrinted(QStringLiteral("The print server %1 did not answer once job %2 was released: it may "
                                           "have printed (lpstat -W all -o %3 shows it)")
                                .arg(ServerName(), Name(), queue_));
}

void HeldQueueJob::Cancel()
{
    if (id_ == 0 || settled_)
        return;
    SchedulerConnection http;
    bool cancelled = false;
    if (http.get()) {
        ipp_t* response = cupsDoRequest(http.get(), JobRequest(IPP_OP_CANCEL_JOB, queue_.toLocal8Bit(), id_), "/jobs/");
        cancelled = !http.timedOut() && Succeeded(response);
        ippDelete(response);
    }
    if (!cancelled) {
        // Held, it does not print unless somebody releases it.
        settled_ = true;
        throw MayHavePrinted(QStringLiteral("The print server %1 did not cancel the held job %2: it prints if it "
                                               "is released (cancel %2 removes it)")
                                    .arg(ServerName(), Name()));
    }
    id_ = 0;
}

QString PrintServerName() { return ServerName(); }

void UseCupsServer(const QString& server)
{
    cupsSetServer(server.toLocal8Bit().constData());
}

QString DefaultQueueName()
{
    // With no name, libcups answers lp's default: LPDEST or PRINTER, else the
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

std::optional<JobOptions> DestinationOptions(const QString& destination)
{
    const QByteArray instance = destination.section(QLatin1Char('/'), 1).toLocal8Bit();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, QueueOf(destination).constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    if (!dest)
        return std::nullopt;
    JobOptions options;
    for (int i = 0; i < dest->num_options; ++i)
        options.emplace_back(dest->options[i].name, dest->options[i].value);
    cupsFreeDests(1, dest);
    return options;
}

QString LastReleasedJobName() { return lastReleasedJob; }

QString LastReleasedJobHoldUntil() { return lastHoldUntil; }
