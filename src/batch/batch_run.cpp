#include "batch/batch_run.h"

#include "batch/batch_failure.h"
#include "batch/batch_options.h"
#include "batch/batch_output.h"
#include "batch/batch_rows.h"
#include "batch/heading_face.h"
#include "batch/label_layout.h"
#include "common/tessary_error.h"
#include "passes/duplicate_barcodes.h"
#include "render/print_run.h"
#include "render/run_barcode_check.h"

#include <QFile>
#include <QPrinter>
#include <algorithm>

namespace {

const QString kInvalidValueMessage = QStringLiteral("Invalid value, fix and retry...");

LabelValues ReadLabel(const QString& path)
{
    // The window takes a missing file as all defaults; a script naming one means a mistake.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw BatchFailure(kExitUsage, QStringLiteral("Cannot open file %1").arg(path));
    return LoadLabelFile(path);
}

std::vector<PassListRow> ReadRows(const BatchOptions& options, const QTime& startTime)
{
    std::vector<BatchRow> read;
    for (const QString& text : options.rowTexts)
        read.push_back(ParseRowText(text, QStringLiteral("row \"%1\"").arg(text)));
    for (const QString& path : options.rowFiles) {
        const std::vector<BatchRow> fromFile = ReadRowsFile(path);
        read.insert(read.end(), fromFile.begin(), fromFile.end());
    }
    const QTime defaultTime = options.timeOfDay.value_or(startTime);
    std::vector<PassListRow> rows;
    for (const BatchRow& row : read)
        rows.push_back(MakePassListRow(row, defaultTime));
    return rows;
}

QString RangeText(const SheetRange& range)
{
    return range.first == range.last ? QString::number(range.first)
                                     : QStringLiteral("%1-%2").arg(range.first).arg(range.last);
}

void Refuse(const QString& message) { throw BatchFailure(kExitRefused, message); }

// Everything the window would refuse or ask about, refused before a page is begun.
void CheckPrintable(const PrintRunRequest& request, const QPrinter& printer, const BatchOptions& options)
{
    if (!RunLayoutUsable(request, printer.logicalDpiX(), printer.logicalDpiY()))
        Refuse(kInvalidValueMessage);
    const qint64 cells = qint64(request.settings.cols) * request.settings.rows;
    if (request.startCell > cells)
        Refuse(QStringLiteral("--start-cell %1 is beyond the %2 cells of a sheet").arg(request.startCell).arg(cells));
    if (TotalPasses(request.rows) == 0)
        Refuse(QStringLiteral("Nothing to print: the rows hold no passes"));
    if (SheetsInRange(request) == 0) {
        const int sheets = RunSheetCount(request);
        Refuse(QStringLiteral("Nothing to print: the run has %1 %2, --pages asks for %3")
                   .arg(sheets)
                   .arg(sheets == 1 ? QStringLiteral("sheet") : QStringLiteral("sheets"), RangeText(request.sheets)));
    }
    if (options.allowDuplicates)
        return;
    const auto [first, end] = RunPassWindow(request);
    const DuplicateBarcodes found = FindDuplicateBarcodes(request.rows, first, end);
    if (found.repeatedPasses > 0) {
        const QString rowsText = found.firstRow == found.secondRow
                                     ? QStringLiteral("row %1").arg(found.firstRow)
                                     : QStringLiteral("rows %1 and %2").arg(found.firstRow).arg(found.secondRow);
        Refuse(QStringLiteral("%1 passes of this run would carry the same barcode as another pass (%2, lane %3); "
                              "--allow-duplicates prints them anyway")
                   .arg(found.repeatedPasses)
                   .arg(rowsText, found.lane));
    }
}

void PrintBatch(const BatchOptions& options, const BatchEnvironment& environment, QTextStream& err)
{
    const LabelValues label = ReadLabel(options.labelFile);
    PrintRunRequest request;
    request.settings = LabelLayoutSettings(label);
    request.rows = ReadRows(options, environment.startTime);
    const LabelHeadingStyle style(label.center, SystemHeadingFace(label.font));
    request.style = &style;
    request.bitmapPath = environment.bitmapPath;
    if (options.pages)
        request.sheets = *options.pages;
    request.startCell = options.startCell;
    request.outlineCells = options.outlineCells;

    QPrinter printer(QPrinter::HighResolution);
    if (options.pdfFile.isEmpty())
        PrepareQueueOutput(printer, options.queue);
    else
        PreparePdfOutput(printer, options.pdfFile);
    CheckPrintable(request, printer, options);

    const int sheetCount = SheetsInRange(request);
    const int firstSheet = std::max(1, request.sheets.first);
    if (sheetCount > 1 && !options.quiet) {
        request.sheetBegun = [&err, sheetCount, firstSheet](int sheet) {
            err << QStringLiteral("sheet %1 of %2").arg(sheet - firstSheet + 1).arg(sheetCount) << Qt::endl;
        };
    }
    request.stopRequested = [&environment] {
        // Thrown, not answered: a stopped run must hand nothing on.
        if (environment.interrupted && environment.interrupted())
            throw BatchFailure(kExitPrintingFailed, QStringLiteral("Interrupted; nothing was printed"));
        return false;
    };
    try {
        PrintRun(printer, request, [] { Refuse(kInvalidValueMessage); });
    } catch (const UnreadableBarcodeError& error) {
        // The layout's fault, like an invalid value: the input is refused.
        Refuse(error.text());
    } catch (const TessaryError& error) {
        // A stop signal removes the run's file at once; whatever then fails
        // (the file gone before the walk sees the stop) is the stop's doing.
        if (environment.interrupted && environment.interrupted())
            throw BatchFailure(kExitPrintingFailed, QStringLiteral("Interrupted; nothing was printed"));
        throw BatchFailure(kExitPrintingFailed, error.text());
    }
}

}  // namespace

int RunBatch(const QStringList& arguments, const BatchEnvironment& environment, QTextStream& out,
             QTextStream& err)
{
    try {
        const BatchOptions options = ParseBatchOptions(arguments);
        if (options.help) {
            out << BatchHelpText();
            out.flush();
            return kExitPrinted;
        }
        PrintBatch(options, environment, err);
        return kExitPrinted;
    } catch (const BatchFailure& failure) {
        err << QStringLiteral("tessary-print: ") << failure.message() << Qt::endl;
        return failure.status();
    }
}
