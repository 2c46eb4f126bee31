#include "registertool/pending_run_check.h"

#include "register/process_alive.h"
#include "registertool/terminal_text.h"

#include <QSysInfo>

QString StillPrintingRefusal(const RunInfo& run, bool force, const QDateTime& nowUtc)
{
    const bool thisHost = run.host == QSysInfo::machineHostName();
    // --force does not override a process seen alive: that run is printing.
    if (thisHost && run.processId > 0) {
        if (ProcessAlive(run.processId))
            return QStringLiteral("run %1 is still printing: its process %2 on this host is running")
                .arg(run.id)
                .arg(run.processId);
        return QString();
    }
    const qint64 age = run.started.secsTo(nowUtc);
    if (force || age >= kOtherHostLeaseSeconds)
        return QString();
    const QString where = thisHost ? QStringLiteral("this host") : QStringLiteral("host %1").arg(TerminalText(run.host));
    return QStringLiteral("run %1 of %2 started %3 minutes ago and may still be printing; withdraw-pending --force "
                          "withdraws its passes all the same")
        .arg(run.id, where)
        .arg(qMax<qint64>(age, 0) / 60);
}
