#include "batch/batch_output.h"

#include "common/exit_status.h"
#include "batch/batch_options.h"
#include "common/removed_on_termination.h"
#include "common/tessary_error.h"
#include "output/queue_job.h"
#include "output/queue_job_options.h"
#include "common/stop_signal.h"
#include "common/tessary_error.h"
#include "output/run_page_layout.h"

#include <QDir>
#include <QPageSize>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

void PreparePdfOutput(QPrinter& printer, const QString& pdfPath)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    PrepareLetterPrinter(printer);
}

void AskNoPrintServer()
{
    // No scheduler listens below a file: every libcups call fails at once.
    UseCupsServer(QStringLiteral("/dev/null/no-print-server"));
}

namespace {

TessaryError NoPrinterNamed(const QString& queue)
{
    return TessaryError(QStringLiteral("No printer named %1").arg(queue), ErrorKind::Failed);
}

}  // namespace

QString KnownQueue(const BatchOptions& options)
{
    if (!options.server.isEmpty())
        UseCupsServer(options.server);
    QString queue = options.queue;
    if (queue.isEmpty()) {
        queue = DefaultQueueName();
        if (queue.isEmpty())
            throw TessaryError(QStringLiteral("No default destination: give --printer QUEUE or --pdf FILE, "
                                              "or set PRINTER (see tessary-print --help)"),
                               ErrorKind::Usage);
    }
    bool known = false;
    try {
        known = PrintServerKnowsQueue(queue);
    } catch (const TessaryError& error) {
        throw TessaryError(error.text(), ErrorKind::Failed);
    }
    if (!known)
        throw NoPrinterNamed(queue);
    return queue;
}

PassStockJobOptions PrepareQueueOutput(QPrinter& printer, const BatchOptions& options, const QString& queue)
{
    const auto noSuchPrinter = [&queue] { return NoPrinterNamed(queue); };
    if (QPrinterInfo::printerInfo(queue).isNull())
        throw noSuchPrinter();
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(queue);
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName() != queue)
        throw noSuchPrinter();
    printer.setDocName(options.title.isEmpty() ? QFileInfo(options.labelFile).fileName() : options.title);
    printer.setCopyCount(options.copies.value_or(1));
    const std::optional<JobOptions> lpoptions = DestinationOptions(queue);
    if (!lpoptions)
        throw noSuchPrinter();
    JobOptions own;
    for (const auto& [name, value] : options.jobOptions)
        own.emplace_back(name.toLocal8Bit(), value.toLocal8Bit());
    // Set, -n is the tool's own option; unset, the destination's copies stand.
    if (options.copies)
        own.emplace_back("copies", QByteArray::number(*options.copies));
    const PassStockJobOptions layered = LayeredPassStockOptions(*lpoptions, own, QPageSize(QPageSize::Letter));
    // Copies the destination's lpoptions or a -o ask for carry every barcode
    // again as -n's do: the run asks about them and records them.
    for (const auto& [name, value] : layered.options) {
        bool isNumber = false;
        const int copies = value.toInt(&isNumber);
        if (name == "copies" && isNumber && copies >= 1)
            printer.setCopyCount(copies);
    }
    AddQueueJobOptions(printer, layered.options);
    PrepareLetterPrinter(printer);  // after the options: they may name the job's resolution
    return layered;
}

StandardOutputPdf::StandardOutputPdf() : folder_(QDir::tempPath() + QStringLiteral("/tessary-print-XXXXXX"))
{
    if (!folder_.isValid())
        throw TessaryError(QStringLiteral("Cannot create a temporary folder: %1").arg(folder_.errorString()));
}

QString StandardOutputPdf::path() const { return folder_.filePath(QStringLiteral("run.pdf")); }

void StandardOutputPdf::CopyOut() const
{
    QFile staged(path());
    if (!staged.open(QIODevice::ReadOnly))
        throw TessaryError(QStringLiteral("Cannot open file %1: %2").arg(path(), staged.errorString()));
    qint64 out = 0;
    const auto fail = [&out](const QString& text) {
        if (out > 0)
            throw MayHavePrinted(QStringLiteral("%1 after %2 bytes of the PDF").arg(text).arg(out));
        throw TessaryError(text);
    };
    while (!staged.atEnd()) {
        const QByteArray block = staged.read(1 << 16);
        if (block.isEmpty() && staged.error() != QFileDevice::NoError)
            fail(QStringLiteral("Cannot read file %1: %2").arg(path(), staged.errorString()));
        for (qsizetype written = 0; written < block.size();) {
            const ssize_t n = ::write(STDOUT_FILENO, block.constData() + written, size_t(block.size() - written));
            if (n < 0 && errno == EINTR && StopSignalReceived() == 0)
                continue;
            if (n < 0 && errno == EINTR) {
                // A stalled reader and a stop: what it took may be all it gets.
                if (out == 0)
                    throw RunStopped();
                fail(QStringLiteral("Standard output was stopped"));
            }
            if (n < 0)
                fail(QStringLiteral("Cannot write to standard output: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
            written += n;
            out += n;
        }
    }
    // A file or device behind standard output may keep the bytes in a cache;
    // pipes and terminals have nothing to flush.
    if (fsync(STDOUT_FILENO) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
        fail(QStringLiteral("Cannot write to standard output: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
}
