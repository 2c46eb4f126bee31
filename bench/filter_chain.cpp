#include "filter_chain.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <sys/resource.h>

namespace {

double ChildrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

FilterChainTime TimeThroughFilterChain(const QString& pdfPath, const QString& ppdPath, const QString& resolution,
                                       QString& error)
{
    // cupsfilter lives in sbin, which is not always on the path.
    QString program = QStandardPaths::findExecutable(QStringLiteral("cupsfilter"));
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("cupsfilter"), {QStringLiteral("/usr/sbin")});
    if (program.isEmpty()) {
        error = QStringLiteral("cupsfilter is not installed");
        return {};
    }
    QProcess filters;
    filters.setProgram(program);
    // printer/bench: all the way to what the printer would be sent; -e: by the
    // description's own filters, as its queue would (else a PostScript detour).
    filters.setArguments({QStringLiteral("-e"), QStringLiteral("-p"), ppdPath, QStringLiteral("-m"), QStringLiteral("printer/bench"),
                          QStringLiteral("-o"), QStringLiteral("Resolution=") + resolution, pdfPath});
    filters.setStandardOutputFile(QProcess::nullDevice());
    filters.setProcessChannelMode(QProcess::SeparateChannels);
    const double cpuBefore = ChildrenCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    filters.start();
    if (!filters.waitForStarted(-1) || !filters.waitForFinished(-1)) {
        error = filters.errorString();
        return {};
    }
    // Every filter is waited for by cupsfilter, and cupsfilter by us: their
    // processor time is all counted here.
    const FilterChainTime time{double(timer.nsecsElapsed()) / 1e9, ChildrenCpuSeconds() - cpuBefore};
    if (filters.exitStatus() != QProcess::NormalExit || filters.exitCode() != 0) {
        error = QStringLiteral("cupsfilter failed: ") + QString::fromLocal8Bit(filters.readAllStandardError()).trimmed();
        return {};
    }
    return time;
}
