#include "support/private_x_server.h"

#include "support/xwd_picture.h"

#include <QElapsedTimer>
#include <QImage>
#include <QStandardPaths>

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
    // The server picks a display nobody holds, taking its lock, and writes
    // its number once it takes connections: two tests starting at once
    // never share one. -noreset: a server resets when its last client
    // leaves, and refuses the program the test starts while an xdotool that
    // looked for its window is just leaving.
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                                           QStringLiteral("-screen"),
                                           QStringLiteral("0"), QStringLiteral("1024x768x24"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server_.waitForStarted(5000))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (!server_.canReadLine() && server_.state() == QProcess::Running && waited.elapsed() < 20000)
        server_.waitForReadyRead(200);
    const QString number = QString::fromLatin1(server_.readLine()).trimmed();
    if (number.isEmpty() || number.toInt() < 0) {
        Stop();
        return false;
    }
    display_ = QLatin1Char(':') + number;
    return true;
}

QString PrivateXServer::State()
{
    server_.waitForFinished(100);
    return QStringLiteral("Xvfb %1 %2, said: %3")
        .arg(display_, server_.state() == QProcess::Running ? QStringLiteral("runs") : QStringLiteral("ended"),
             QString::fromLocal8Bit(server_.readAllStandardError()).trimmed());
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
