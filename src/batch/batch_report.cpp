#include "batch/batch_report.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue TextOrNull(const QString& text) { return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text); }

}  // namespace

QString HeldJobLine(const BatchResult& result)
{
    if (result.heldUntil.isEmpty())
        return QString();
    return QStringLiteral("tessary-print: %1 is held (job-hold-until=%2); lp -i %1 -H resume releases it\n")
        .arg(result.job, result.heldUntil);
}

QString RequestIdLine(const BatchResult& result)
{
    // The run's one PDF is the job's one document.
    return result.job.isEmpty() ? QString() : QStringLiteral("request id is %1 (1 file(s))\n").arg(result.job);
}

QString ResultJsonLine(const BatchResult& result)
{
    const QJsonObject object{{QStringLiteral("job"), TextOrNull(result.job)},
                             {QStringLiteral("pdf"), TextOrNull(result.pdfPath)},
                             {QStringLiteral("sheets"), result.sheets},
                             {QStringLiteral("passes"), result.passes},
                             {QStringLiteral("register_run"), TextOrNull(result.registerRun)},
                             {QStringLiteral("held_until"), TextOrNull(result.heldUntil)}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}
