#include "output/stored_correction.h"

#include "common/tessary_error.h"
#include "output/queue_job.h"

#include <QPrinter>
#include <QSettings>
#include <QUrl>

namespace {

const QString kSettingsGroup = QStringLiteral("PrinterCorrection");

// QSettings takes '/' and '\' in a key as groups; queue and server names may
// hold either (a socket's path). '@' and ':' stay as they are, to be read.
QString SettingsKey(const QString& outputKey)
{
    return kSettingsGroup + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(outputKey, "@:"));
}

const QString kSettingsName = QStringLiteral("tessary-utility");

}  // namespace

QString QueueCorrectionKey(const QString& queue, const QString& server) { return queue + QLatin1Char('@') + server; }

QString CorrectionOutputKey(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return kPrintToFileCorrectionKey;
    return QueueCorrectionKey(printer.printerName(), PrintServerName());
}

PrinterCorrection StoredCorrection(const QString& outputKey)
{
    const QSettings settings(kSettingsName, kSettingsName);
    const QString text = settings.value(SettingsKey(outputKey)).toString();
    return ParseCorrection(text).value_or(PrinterCorrection{});
}

void StoreCorrection(const QString& outputKey, const PrinterCorrection& correction)
{
    QSettings settings(kSettingsName, kSettingsName);
    if (correction.IsNone())
        settings.remove(SettingsKey(outputKey));
    else
        settings.setValue(SettingsKey(outputKey), CorrectionText(correction));
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw TessaryError(QStringLiteral("The printer correction cannot be kept in %1").arg(settings.fileName()));
}
