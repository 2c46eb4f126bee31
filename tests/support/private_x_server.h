#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

// An Xvfb of the test's own on a display number nobody uses, stopped by its
// process id when the object goes; and xdotool and xwd run on it.
class PrivateXServer {
public:
    PrivateXServer() = default;
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // Why this machine cannot run one (a tool missing), or "".
    static QString MissingPrerequisite();

    bool Start();
    void Stop();
    const QString& Display() const { return display_; }
    // What the server said on standard error, and whether it still runs: for a failure's message.
    QString State();

    // Runs xdotool with the arguments on this display; its standard output
    // trimmed, and its exit status in status.
    QString Xdotool(const QStringList& arguments, int* status = nullptr) const;
    // A picture of the window's contents (xwd -id), or a null image.
    QImage Grab(const QString& window) const;

private:
    QProcess server_;
    QString display_;
};
