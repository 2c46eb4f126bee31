#include "support/private_postgres.h"

#include "support/tools.h"

#include <QDeadlineTimer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString kUser = QStringLiteral("tessary");
const QString kPort = QStringLiteral("5432");

// The newest server of /usr/lib/postgresql/<version>/bin.
QString BinFolder()
{
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(), [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        const QString bin = versions.filePath(*it + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/postgres")) && QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    return QString();
}

// The server refuses to run as root; tests run as root switch to nobody.
const passwd* ServerUser() { return geteuid() == 0 ? getpwnam("nobody") : nullptr; }

// The command line that runs a program as the server's user: setpriv replaces
// itself with the program, so the process id is the program's.
QStringList AsServerUser(const QString& program, const QStringList& arguments)
{
    const passwd* user = ServerUser();
    if (!user)
        return QStringList{program} + arguments;
    return QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(user->pw_uid),
                       QStringLiteral("--regid=%1").arg(user->pw_gid), QStringLiteral("--clear-groups"),
                       QStringLiteral("--pdeathsig=SIGTERM"), QStringLiteral("--"), program}
           + arguments;
}

}  // namespace

PrivatePostgres::PrivatePostgres() = default;

PrivatePostgres::~PrivatePostgres() { Stop(); }

QString PrivatePostgres::MissingPrerequisite()
{
    if (BinFolder().isEmpty())
        return QStringLiteral("no PostgreSQL server under /usr/lib/postgresql (Debian package postgresql)");
    if (geteuid() == 0 && !getpwnam("nobody"))
        return QStringLiteral("no user nobody to run the server as");
    return QString();
}

QString PrivatePostgres::RunTool(const QString& tool, const QStringList& arguments, bool asServerUser) const
{
    const QString program = BinFolder() + QLatin1Char('/') + tool;
    const QStringList command = asServerUser ? AsServerUser(program, arguments) : QStringList{program} + arguments;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(folder_.path());
    process.start(command.constFirst(), command.mid(1));
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return tool + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll());
    return QString();
}

QString PrivatePostgres::Start()
{
    if (!folder_.isValid())
        return QStringLiteral("no temporary folder");
    if (const passwd* user = ServerUser()) {
        if (chown(QFile::encodeName(folder_.path()).constData(), user->pw_uid, user->pw_gid) != 0)
            return QStringLiteral("cannot hand the folder to nobody");
    }
    const QString data = folder_.filePath(QStringLiteral("data"));
    QString error = RunTool(QStringLiteral("initdb"),
                            {QStringLiteral("-D"), data, QStringLiteral("-U"), kUser, QStringLiteral("--auth=trust"),
                             QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
                             QStringLiteral("--no-sync")},
                            true);
    if (!error.isEmpty())
        return error;
    const QStringList command = AsServerUser(
        BinFolder() + QStringLiteral("/postgres"),
        {QStringLiteral("-D"), data, QStringLiteral("-k"), folder_.path(), QStringLiteral("-h"), QString(),
         QStringLiteral("-p"), kPort, QStringLiteral("-c"), QStringLiteral("fsync=off")});
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.setStandardOutputFile(folder_.filePath(QStringLiteral("server.log")));
    server_.start(command.constFirst(), command.mid(1));
    NoteServerStarted(QStringLiteral("postgres"));
    if (!server_.waitForStarted())
        return QStringLiteral("postgres did not start");
    // Ready once it answers on its socket; polled against a deadline.
    QDeadlineTimer deadline(60000);
    while (!RunTool(QStringLiteral("pg_isready"), {QStringLiteral("-h"), folder_.path(), QStringLiteral("-p"), kPort},
                    false)
                .isEmpty()) {
        if (deadline.hasExpired() || server_.state() == QProcess::NotRunning)
            return QStringLiteral("postgres did not become ready");
        QThread::msleep(50);
    }
    return RunTool(QStringLiteral("createdb"),
                   {QStringLiteral("-h"), folder_.path(), QStringLiteral("-p"), kPort, QStringLiteral("-U"), kUser,
                    QStringLiteral("passes")},
                   false);
}

void PrivatePostgres::Stop()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    // SIGINT: PostgreSQL's fast shutdown, to the server's own process id.
    ::kill(pid_t(server_.processId()), SIGINT);
    if (!server_.waitForFinished(60000)) {
        server_.kill();
        server_.waitForFinished(10000);
    }
}

QString PrivatePostgres::Uri() const
{
    return QStringLiteral("postgresql://%1@%2:%3/passes")
        .arg(kUser, QString::fromUtf8(QUrl::toPercentEncoding(folder_.path())), kPort);
}
