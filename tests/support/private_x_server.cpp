#include "support/private_x_server.h"

#include "support/xwd_picture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QThread>

namespace {

QString SocketPath(int number) { return QStringLiteral("/tmp/.X11-unix/X%1").arg(number); }

}  // namespace

PrivateXServer::~PrivateXServer() { Stop(); }

QString PrivateXServer::MissingPrerequisite()
{
    for (const char* tool : {"Xvfb", "xdotool", "xwd"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed (packages xvfb, xdotool and x11-apps)").arg(tool);
    }
    return QString();
}

bool PrivateXServer::Start()
{
    for (int number = 263; number < 380; ++number) {
        if (QFile::exists(SocketPath(number)) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            continue;
        server_.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"),
                                               QStringLiteral("0"), QStringLiteral("1024x768x24"),
                                               QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!server_.waitForStarted(5000))
            return false;
        QElapsedTimer waited;
        waited.start();
        while (server_.state() == QProcess::Running && waited.elapsed() < 10000) {
            // The socket is there before the server takes connections: asked until it answers.
            if (QFile::exists(SocketPath(number))) {
                display_ = QStringLiteral(":%1").arg(number);
                int status = -1;
                Xdotool({QStringLiteral("getdisplaygeometry")}, &status);
                if (status == 0)
                    return true;
            }
            QThread::msleep(20);
        }
        Stop();  // another server took the number first: try the next one
    }
    return false;
}

void PrivateXServer::Stop()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.terminate();  // SIGTERM to the server's own process id
    if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished(2000);
    }
}

QString PrivateXServer::Xdotool(const QStringList& arguments, int* status) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display_);
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(20000);
    if (status)
        *status = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QImage PrivateXServer::Grab(const QString& window) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display_);
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral("xwd"), {QStringLiteral("-id"), window, QStringLiteral("-silent")});
    if (!tool.waitForFinished(20000) || tool.exitCode() != 0)
        return QImage();
    return ReadXwdPicture(tool.readAllStandardOutput());
}
