#include "support/private_cups_scheduler.h"

#include "support/tools.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <cups/cups.h>

#include <csignal>
#include <sys/prctl.h>
#include <utility>

namespace {

const QString kScript = QStringLiteral(TESSARY_PRIVATE_CUPS_SCRIPT);
constexpr int kMissingPrerequisite = 77;
constexpr int kStopTimeoutMs = 15000;

// Variables that decide which scheduler and which default destination libcups
// uses; the last two name a destination and would override the default.
const char* const kServerVariables[] = {"CUPS_SERVER", "CUPS_SERVERROOT", "HOME"};
const char* const kDestinationVariables[] = {"LPDEST", "PRINTER"};
// Folders Qt and fontconfig take from HOME when these are not set.
const std::pair<const char*, const char*> kHomeDerivedVariables[] = {
    {"XDG_CONFIG_HOME", ".config"}, {"XDG_CACHE_HOME", ".cache"}, {"XDG_DATA_HOME", ".local/share"}};

QString RunProcess(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
                   int* exitCode)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForStarted(10000) && process.waitForFinished(60000);
    if (!finished)
        process.kill();
    if (exitCode)
        *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAll());
}

QStringList JobIds(const QString& lpstatOutput, const QString& queue)
{
    QStringList ids;
    const QRegularExpression id(QStringLiteral("^(%1-\\d+)\\s").arg(QRegularExpression::escape(queue)),
                                QRegularExpression::MultilineOption);
    for (auto it = id.globalMatch(lpstatOutput); it.hasNext();)
        ids << it.next().captured(1);
    return ids;
}

}  // namespace

PrivateCupsScheduler::PrivateCupsScheduler() = default;

PrivateCupsScheduler::~PrivateCupsScheduler() { Stop(); }

QString PrivateCupsScheduler::MissingPrerequisite()
{
    int code = 0;
    const QString out = RunProcess(QStringLiteral("bash"), {kScript, QStringLiteral("check")},
                                   QProcessEnvironment::systemEnvironment(), &code);
    if (code == 0)
        return QString();
    if (code == kMissingPrerequisite)
        return out.trimmed();
    return QStringLiteral("%1 check failed (%2): %3").arg(kScript).arg(code).arg(out.trimmed());
}

QString PrivateCupsScheduler::ScriptPath() { return QStringLiteral(TESSARY_PRIVATE_CUPS_SCRIPT); }

QString PrivateCupsScheduler::Script(const QStringList& arguments, int* exitCode) const
{
    return RunProcess(QStringLiteral("bash"), QStringList{kScript} + arguments,
                      QProcessEnvironment::systemEnvironment(), exitCode);
}

QString PrivateCupsScheduler::Start()
{
    if (IsRunning())
        return QStringLiteral("already running");
    // Short: the socket's path must fit in a sockaddr_un.
    folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tessary-cups-XXXXXX"));
    if (!folder_->isValid())
        return QStringLiteral("no temporary folder: ") + folder_->errorString();

    // The script becomes cupsd (exec), so the child this object waits for and
    // stops is cupsd itself; the death signal survives the exec.
    cupsd_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    cupsd_.setStandardOutputFile(folder_->filePath(QStringLiteral("cupsd.out")));
    cupsd_.start(QStringLiteral("bash"), {kScript, QStringLiteral("exec-cupsd"), folder_->path()});
    NoteServerStarted(QStringLiteral("cupsd"));
    if (!cupsd_.waitForStarted(10000))
        return QStringLiteral("cannot run %1: %2").arg(kScript, cupsd_.errorString());

    int code = 0;
    const QString out = Script({QStringLiteral("wait-ready"), folder_->path(), QString::number(Pid())}, &code);
    if (code != 0) {
        Stop();
        QFile log(folder_->filePath(QStringLiteral("cupsd.out")));
        log.open(QIODevice::ReadOnly);
        return out.trimmed() + QLatin1Char('\n') + QString::fromLocal8Bit(log.readAll());
    }

    env_ = QProcessEnvironment::systemEnvironment();
    for (const char* name : kDestinationVariables)
        env_.remove(QLatin1String(name));
    QFile envFile(folder_->filePath(QStringLiteral("env")));
    if (!envFile.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("the script wrote no %1").arg(envFile.fileName());
    while (!envFile.atEnd()) {
        const QString line = QString::fromLocal8Bit(envFile.readLine()).trimmed();
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            env_.insert(line.left(equals), line.mid(equals + 1));
    }
    return QString();
}

QString PrivateCupsScheduler::AddQueue(const QString& name, const QString& ppdPath)
{
    if (!IsRunning())
        return QStringLiteral("the scheduler is not running");
    int code = 0;
    QStringList arguments{QStringLiteral("add-queue"), Folder(), name};
    if (!ppdPath.isEmpty())
        arguments << ppdPath;
    const QString out = Script(arguments, &code);
    return code == 0 ? QString() : QStringLiteral("cannot add queue %1: %2").arg(name, out.trimmed());
}

QString PrivateCupsScheduler::SetDefault(const QString& name)
{
    int code = 0;
    const QString out = Run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name}, &code);
    return code == 0 ? QString() : QStringLiteral("cannot make %1 the default: %2").arg(name, out.trimmed());
}

QString PrivateCupsScheduler::UseInThisProcess()
{
    if (!IsRunning())
        return QStringLiteral("the scheduler is not running");
    const auto replace = [this](const char* name, const QString* value) {
        if (!savedEnv_.contains(name))
            savedEnv_.insert(name, {qEnvironmentVariableIsSet(name), qgetenv(name)});
        if (value)
            qputenv(name, value->toLocal8Bit());
        else
            qunsetenv(name);
    };
    // Only libcups is meant to see the private HOME (for ~/.cups/lpoptions):
    // Qt keeps the folders it derives from HOME once per process (QSettings
    // would write into a folder that is deleted with this scheduler).
    const QString ownHome = qEnvironmentVariable("HOME");
    for (const auto& [name, underHome] : kHomeDerivedVariables) {
        if (!qEnvironmentVariableIsSet(name) && !ownHome.isEmpty()) {
            const QString pinned = ownHome + QLatin1Char('/') + QLatin1String(underHome);
            replace(name, &pinned);
        }
    }
    for (const char* name : kServerVariables) {
        const QString value = env_.value(QLatin1String(name));
        replace(name, &value);
    }
    for (const char* name : kDestinationVariables)
        replace(name, nullptr);
    // libcups keeps the server it found first (and its connection); forget
    // both so that the next call reads CUPS_SERVER again.
    cupsSetServer(nullptr);
    const QString server = QString::fromLocal8Bit(cupsServer());
    if (server != SocketPath())
        return QStringLiteral("libcups in this process still uses %1").arg(server);
    return QString();
}

void PrivateCupsScheduler::GiveBackEnvironment()
{
    if (savedEnv_.isEmpty())
        return;
    for (auto it = savedEnv_.constBegin(); it != savedEnv_.constEnd(); ++it) {
        if (it.value().first)
            qputenv(it.key().constData(), it.value().second);
        else
            qunsetenv(it.key().constData());
    }
    savedEnv_.clear();
    cupsSetServer(nullptr);
}

void PrivateCupsScheduler::Stop()
{
    GiveBackEnvironment();
    if (cupsd_.state() == QProcess::NotRunning)
        return;
    const pid_t pid = pid_t(cupsd_.processId());
    ::kill(pid, SIGTERM);
    if (!cupsd_.waitForFinished(kStopTimeoutMs)) {
        ::kill(pid, SIGKILL);
        cupsd_.waitForFinished(5000);
    }
}

bool PrivateCupsScheduler::IsRunning() const { return cupsd_.state() == QProcess::Running; }

qint64 PrivateCupsScheduler::Pid() const { return IsRunning() ? cupsd_.processId() : 0; }

QString PrivateCupsScheduler::Folder() const { return folder_ ? folder_->path() : QString(); }

QString PrivateCupsScheduler::SocketPath() const { return folder_ ? folder_->filePath(QStringLiteral("cups.sock")) : QString(); }

QProcessEnvironment PrivateCupsScheduler::Env() const { return env_; }

QString PrivateCupsScheduler::Run(const QString& program, const QStringList& arguments, int* exitCode) const
{
    if (env_.isEmpty()) {
        if (exitCode)
            *exitCode = -1;
        return QStringLiteral("the scheduler was never started");
    }
    return RunProcess(program, arguments, env_, exitCode);
}

QString PrivateCupsScheduler::IppUri(const QString& resource) const
{
    // libcups takes a host that starts with "/" for a domain socket.
    return QStringLiteral("ipp://%1/%2")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(SocketPath())), resource);
}

QString PrivateCupsScheduler::OutputDir(const QString& queue) const
{
    return Folder() + QStringLiteral("/cups-pdf/out-") + queue;
}

QSet<QString> PrivateCupsScheduler::OutputFiles(const QString& queue) const
{
    QSet<QString> files;
    const QDir dir(OutputDir(queue));
    for (const QString& name : dir.entryList({QStringLiteral("*.pdf")}, QDir::Files))
        files.insert(dir.filePath(name));
    return files;
}

QString PrivateCupsScheduler::WaitForJobOutput(const QString& jobId, int timeoutMs) const
{
    const int dash = jobId.lastIndexOf(QLatin1Char('-'));
    if (dash <= 0)
        return QString();
    const QString queue = jobId.left(dash);
    // cups-pdf names a job's file "<title>-job_<number>.pdf".
    const QString suffix = QStringLiteral("-job_%1.pdf").arg(jobId.mid(dash + 1));
    // cups-pdf creates the file before it has written it; the job completes
    // once the file is whole.
    QDeadlineTimer deadline(timeoutMs);
    do {
        if (CompletedJobs(queue).contains(jobId)) {
            for (const QString& file : OutputFiles(queue)) {
                if (file.endsWith(suffix))
                    return file;
            }
        }
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return QString();
}

QStringList PrivateCupsScheduler::PendingJobs(const QString& queue) const
{
    return JobIds(Run(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}), queue);
}

QStringList PrivateCupsScheduler::CompletedJobs(const QString& queue) const
{
    return JobIds(Run(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"),
                                                 QStringLiteral("-o"), queue}),
                  queue);
}

bool PrivateCupsScheduler::WaitUntilQueueEmpty(const QString& queue, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        // A scheduler that stopped answering has no jobs to list, but its
        // queue is not empty for that.
        int code = 0;
        const QString out = Run(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}, &code);
        if (code != 0)
            return false;
        if (JobIds(out, queue).isEmpty())
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(200);
    }
}
