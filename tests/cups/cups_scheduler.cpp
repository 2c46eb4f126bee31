#include "cups/cups_scheduler.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const QString kCupsd = QStringLiteral("/usr/sbin/cupsd");
const QString kCupsPdfBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString kCupsPdfModel = QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd");

bool SchedulerRunning()
{
    return RunCommand(QStringLiteral("lpstat"), {"-r"}).startsWith(QLatin1String("scheduler is running"));
}

bool WaitForScheduler(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (SchedulerRunning())
            return true;
        QThread::msleep(200);
    }
    return SchedulerRunning();
}

QStringList JobIds(const QString& output, const QString& queue)
{
    QStringList ids;
    const QRegularExpression id(QStringLiteral("^(%1-\\d+)\\s").arg(QRegularExpression::escape(queue)),
                                QRegularExpression::MultilineOption);
    for (auto it = id.globalMatch(output); it.hasNext();)
        ids << it.next().captured(1);
    return ids;
}

}  // namespace

QString RunCommand(const QString& program, const QStringList& arguments, int* exitCode)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForStarted(10000) && process.waitForFinished(60000);
    if (exitCode)
        *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAll());
}

CupsScheduler::~CupsScheduler() { Stop(); }

QString CupsScheduler::Start(const QString& queue)
{
    queue_ = queue;
    if (geteuid() != 0)
        return QStringLiteral("a CUPS scheduler of the test's own needs root");
    for (const QString& needed : {kCupsd, kCupsPdfBackend, QStringLiteral("/usr/sbin/lpadmin"),
                                  QStringLiteral("/usr/bin/lpstat")}) {
        if (!QFileInfo::exists(needed))
            return needed + QStringLiteral(" is missing (packages cups and printer-driver-cups-pdf)");
    }
    if (!SchedulerRunning()) {
        QDir().mkpath(QStringLiteral("/run/cups"));
        // A test that crashes must not leave the scheduler behind.
        scheduler_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        scheduler_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        scheduler_.start(kCupsd, {"-f"});
        if (!scheduler_.waitForStarted(10000))
            return QStringLiteral("cupsd could not be started: ") + scheduler_.errorString();
        startedPid_ = scheduler_.processId();
        if (!WaitForScheduler(20000))
            return QStringLiteral("cupsd started but never answered lpstat -r");
    }
    const bool existed = RunCommand(QStringLiteral("lpstat"), {"-v", queue}).contains(QLatin1String("cups-pdf:/"));
    if (!existed) {
        int code = 0;
        const QString out = RunCommand(QStringLiteral("lpadmin"),
                                       {"-p", queue, "-v", "cups-pdf:/", "-E", "-m", kCupsPdfModel}, &code);
        if (code != 0)
            return QStringLiteral("lpadmin could not add the queue: ") + out;
        addedQueue_ = true;
    }
    int code = 0;
    const QString out = RunCommand(QStringLiteral("lpadmin"), {"-d", queue}, &code);
    if (code != 0)
        return QStringLiteral("lpadmin could not make the queue the default: ") + out;
    return QString();
}

void CupsScheduler::Stop()
{
    if (addedQueue_) {
        RunCommand(QStringLiteral("lpadmin"), {"-x", queue_});
        addedQueue_ = false;
    }
    if (startedPid_ > 0) {
        ::kill(pid_t(startedPid_), SIGTERM);
        if (!scheduler_.waitForFinished(15000)) {
            ::kill(pid_t(startedPid_), SIGKILL);
            scheduler_.waitForFinished(5000);
        }
        startedPid_ = 0;
    }
}

QStringList CupsScheduler::PendingJobs() const
{
    return JobIds(RunCommand(QStringLiteral("lpstat"), {"-o", queue_}), queue_);
}

QStringList CupsScheduler::CompletedJobs() const
{
    return JobIds(RunCommand(QStringLiteral("lpstat"), {"-W", "completed", "-o", queue_}), queue_);
}

bool CupsScheduler::WaitUntilQueueEmpty(int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (PendingJobs().isEmpty())
            return true;
        QThread::msleep(250);
    }
    return PendingJobs().isEmpty();
}

QString CupsScheduler::CupsPdfOutputDir()
{
    QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QRegularExpression outLine(QStringLiteral("^\\s*Out\\s+(\\S.*?)\\s*$"));
        while (!conf.atEnd()) {
            const auto match = outLine.match(QString::fromLocal8Bit(conf.readLine()));
            if (match.hasMatch())
                out = match.captured(1);
        }
    }
    const passwd* user = getpwuid(geteuid());
    if (user) {
        out.replace(QLatin1String("${HOME}"), QString::fromLocal8Bit(user->pw_dir));
        out.replace(QLatin1String("${USER}"), QString::fromLocal8Bit(user->pw_name));
    }
    return out;
}

QSet<QString> CupsScheduler::OutputFiles()
{
    QSet<QString> files;
    const QDir dir(CupsPdfOutputDir());
    for (const QString& name : dir.entryList({QStringLiteral("*.pdf")}, QDir::Files))
        files.insert(dir.filePath(name));
    return files;
}
