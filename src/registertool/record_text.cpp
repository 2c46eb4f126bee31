#include "registertool/record_text.h"

#include "registertool/terminal_text.h"

namespace {

QString OutputText(const RunOutput& output)
{
    return (output.toFile ? QStringLiteral("PDF ") : QStringLiteral("queue ")) + output.name;
}

}  // namespace

QString LocalTime(const QDateTime& utc)
{
    return utc.isValid() ? utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString StateText(const PassRecord& record)
{
    if (record.pending)
        return record.reissue ? QStringLiteral("pending re-issue") : QStringLiteral("pending");
    return record.reissue ? QStringLiteral("re-issued") : QStringLiteral("issued");
}

QString RunText(const PassRecord& record)
{
    const QString text = QStringLiteral("run %1 (%2, %3@%4) to %5")
                             .arg(TerminalText(record.run.id), TerminalText(record.run.program),
                                  TerminalText(record.run.user), TerminalText(record.run.host),
                                  TerminalText(OutputText(record.run.output)));
    // Runs recorded before the register kept them have none to show; one copy goes without saying.
    QString shown = text;
    if (record.run.output.copies > 1)
        shown += QStringLiteral(", %1 copies").arg(record.run.output.copies);
    if (!record.run.output.job.isEmpty())
        shown += QStringLiteral(", job %1").arg(TerminalText(record.run.output.job))
                 + (record.run.output.server.isEmpty() ? QString()
                                                       : QStringLiteral(" on ") + TerminalText(record.run.output.server));
    if (!record.run.output.correction.isEmpty())
        shown += QStringLiteral(" correction ") + TerminalText(record.run.output.correction);
    return shown;
}

QString ValidOnText(const PassRecord& record)
{
    return TerminalText(QString(record.validOn).replace(QLatin1Char('T'), QLatin1Char(' ')));
}

QString VoidText(const PassRecord& record)
{
    if (!record.voided.IsVoid())
        return QString();
    return QStringLiteral("void %1 by %2@%3: %4")
        .arg(LocalTime(record.voided.at), TerminalText(record.voided.user), TerminalText(record.voided.host),
             TerminalText(record.voided.reason));
}

QString AdmissionText(const Admission& admission)
{
    QString text = QStringLiteral("admitted %1 at gate %2 (lane %3) by %4@%5")
                       .arg(LocalTime(admission.at), TerminalText(admission.gate), TerminalText(admission.lane),
                            TerminalText(admission.user), TerminalText(admission.host));
    if (admission.undone.IsVoid())
        text += QStringLiteral("; undone %1 by %2@%3: %4")
                    .arg(LocalTime(admission.undone.at), TerminalText(admission.undone.user),
                         TerminalText(admission.undone.host), TerminalText(admission.undone.reason));
    return text;
}
