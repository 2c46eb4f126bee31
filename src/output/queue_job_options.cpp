#include "output/queue_job.h"
#include "output/queue_job_options.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QRegularExpression>
#include <QStringList>
#include <cups/cups.h>

#include <algorithm>
#include <cmath>

namespace {

// Where Qt's queue engine keeps the options of the dialog's properties page:
// name and value pairs, one after the other.
const auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// A PPD's PageSize for the paper: Adobe's names, which Qt's keys follow but
// for Letter, which a queue may hand Qt back as its twin "AnsiA".
QByteArray PpdPageSizeName(const QPageSize& paper)
{
    if (paper.isEquivalentTo(QPageSize(QPageSize::Letter)))
        return "Letter";
    return paper.key().toLatin1();
}

bool PaperOption(const QString& name)
{
    for (const char* paper : {"media", "media-col", "PageSize", "PageRegion"}) {
        if (name.compare(QLatin1String(paper), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Every spelling, IPP's and the PPD's, of what the passes' placement depends
// on: the paper, scaling, pages to a sheet, orientation, page selection and
// the sides printed (the stock has one).
bool StockOption(const QByteArray& name)
{
    if (PaperOption(QString::fromLatin1(name)))
        return true;
    static const char* const kNames[] = {"print-scaling", "fit-to-page", "fitplot", "scaling", "natural-scaling",
                                         "number-up", "orientation-requested", "landscape", "page-ranges",
                                         "page-set", "sides", "Duplex"};
    for (const char* stock : kNames) {
        if (name.compare(stock, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The stock's values of what the placement depends on: its paper (by IPP's
// name and by a PPD's, for a queue with one), unscaled, one page a sheet,
// the orientation it was laid out in, one side. A queue fills in what a job
// leaves out from its own defaults (a PageSize-default=A4 among them).
JobOptions StockJobOptions(const QPageSize& paper, QPageLayout::Orientation orientation)
{
    return {{"media", PwgMediaName(paper)},
            {"PageSize", PpdPageSizeName(paper)},
            {"print-scaling", "none"},
            {"number-up", "1"},
            {"orientation-requested", orientation == QPageLayout::Landscape ? "4" : "3"},
            {"sides", "one-sided"}};
}

}  // namespace

JobOptions QueueJobOptions(const QPrinter& printer)
{
    const QPageLayout layout = printer.pageLayout();
    // The stock's options, whatever the dialog, its properties page or the
    // queue's defaults say.
    JobOptions options = StockJobOptions(layout.pageSize(), layout.orientation());
    const int copies = printer.copyCount();
    if (copies > 1) {
        options.emplace_back("copies", QByteArray::number(copies));
        if (printer.collateCopies())
            options.emplace_back("Collate", "True");
    }
    if (QPrintEngine* engine = printer.printEngine()) {
        const QStringList pairs = engine->property(kCupsOptionsKey).toStringList();
        for (int i = 0; i + 1 < pairs.size(); i += 2) {
            // The stock's are sent above. The run's PDF holds only the sheets
            // of the dialog's "Pages" field and its odd or even sheets: the
            // scheduler picking pages again would pick from the wrong ones; a
            // paper of the properties page's own (the queue's PageSize, a
            // media) would put the job on another stock than the sheets were
            // laid out for.
            if (StockOption(pairs[i].toLatin1()))
                continue;
            options.emplace_back(pairs[i].toLocal8Bit(), pairs[i + 1].toLocal8Bit());
        }
    }
    return options;
}

int JobResolutionDpi(const QPrinter& printer)
{
    const QPrintEngine* engine = const_cast<QPrinter&>(printer).printEngine();
    if (!engine)
        return 0;
    // The PPD's "Resolution" and IPP's "printer-resolution": 600dpi,
    // 600x600dpi, 236dpcm. Dots that are not square leave it to the queue.
    static const QRegularExpression kResolution(QStringLiteral("^(\\d+)(?:x(\\d+))?(dpi|dpcm)$"));
    const QStringList pairs = engine->property(kCupsOptionsKey).toStringList();
    int dpi = 0;
    for (int i = 0; i + 1 < pairs.size(); i += 2) {
        if (pairs[i].compare(QLatin1String("Resolution"), Qt::CaseInsensitive) != 0
            && pairs[i].compare(QLatin1String("printer-resolution"), Qt::CaseInsensitive) != 0)
            continue;
        const QRegularExpressionMatch found = kResolution.match(pairs[i + 1].trimmed());
        if (!found.hasMatch() || (!found.captured(2).isEmpty() && found.captured(2) != found.captured(1)))
            continue;
        const int dots = found.captured(1).toInt();
        dpi = found.captured(3) == QLatin1String("dpcm") ? int(std::lround(dots * 2.54)) : dots;
    }
    return dpi;  // the last one given, as the scheduler takes it
}

void AddQueueJobOptions(QPrinter& printer, const JobOptions& options)
{
    QPrintEngine* engine = printer.printEngine();
    if (!engine)
        return;
    QStringList pairs = engine->property(kCupsOptionsKey).toStringList();
    for (const auto& [name, value] : options)
        pairs << QString::fromLocal8Bit(name) << QString::fromLocal8Bit(value);
    engine->setProperty(kCupsOptionsKey, pairs);
}

PassStockJobOptions LayeredPassStockOptions(const JobOptions& destination, const JobOptions& caller,
                                            const QPageSize& paper)
{
    const JobOptions stock = StockJobOptions(paper, QPageLayout::Portrait);
    PassStockJobOptions layered;
    for (const auto& option : destination) {
        // A destination's own defaults often name the stock's values already.
        if (!StockOption(option.first))
            layered.options.push_back(option);
        else if (std::find(stock.begin(), stock.end(), option) == stock.end())
            layered.replacedDestinationOptions.push_back(option);
    }
    for (const auto& option : caller) {
        if (StockOption(option.first))
            layered.replacedCallerOptions.push_back(option);
        else
            layered.options.push_back(option);
    }
    layered.options.insert(layered.options.end(), stock.begin(), stock.end());
    return layered;
}

QByteArray PwgMediaName(const QPageSize& pageSize)
{
    // PWG sizes are in hundredths of a millimetre.
    const QSizeF size = pageSize.size(QPageSize::Millimeter);
    const pwg_media_t* media = pwgMediaForSize(int(std::lround(size.width() * 100)), int(std::lround(size.height() * 100)));
    return media && media->pwg ? QByteArray(media->pwg) : pageSize.key().toLocal8Bit();
}

JobOptions ParsedJobOptions(const QString& text)
{
    cups_option_t* parsed = nullptr;
    const int count = cupsParseOptions(text.toLocal8Bit().constData(), 0, &parsed);
    JobOptions options;
    for (int i = 0; i < count; ++i)
        options.emplace_back(QByteArray(parsed[i].name), QByteArray(parsed[i].value));
    cupsFreeOptions(count, parsed);
    return options;
}
