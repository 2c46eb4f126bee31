#pragma once

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A CUPS scheduler of the test's own, run by tests/support/private_cups.sh on a
// temporary folder: its own configuration, spool, logs and socket, cups-pdf
// queues whose PDF files land in that folder. The machine's printers, default
// destination and any scheduler it runs are neither used nor changed.
//
// The cupsd is this object's child: stopped by its process id when the object
// goes, and sent SIGTERM by the kernel if the test process dies first.
class PrivateCupsScheduler {
public:
    PrivateCupsScheduler();
    ~PrivateCupsScheduler();
    PrivateCupsScheduler(const PrivateCupsScheduler&) = delete;
    PrivateCupsScheduler& operator=(const PrivateCupsScheduler&) = delete;

    // Why this machine cannot run one (not root, cups or cups-pdf missing), or
    // "" when it can. Tests skip on a non-empty answer.
    static QString MissingPrerequisite();
    // tests/support/private_cups.sh, for tests that drive it from a shell.
    static QString ScriptPath();

    // Each returns "" on success, else what went wrong.
    QString Start();
    // A cups-pdf queue. ppdPath: the queue's description (page sizes,
    // unprintable margins, ...); "" for cups-pdf's own.
    QString AddQueue(const QString& name, const QString& ppdPath = QString());
    QString SetDefault(const QString& name);
    // Points libcups, and with it Qt's print support, in this process at the
    // scheduler (CUPS_SERVER, CUPS_SERVERROOT, HOME; LPDEST and PRINTER
    // removed) until Stop(). Call it before the process first touches a
    // printer: libcups reads CUPS_SERVERROOT once per thread.
    QString UseInThisProcess();
    // Stops cupsd and gives this process back its own environment.
    void Stop();

    bool IsRunning() const;
    qint64 Pid() const;
    QString Folder() const;
    QString SocketPath() const;

    // The environment for a child process that should print here: this
    // process's environment with the scheduler's variables.
    QProcessEnvironment Env() const;
    // Runs an lp tool (lpstat, lp, cupsreject, cupsaccept, cancel, lpoptions,
    // ...) against the scheduler; standard output and error together.
    QString Run(const QString& program, const QStringList& arguments, int* exitCode = nullptr) const;

    // Where cups-pdf writes the queue's jobs, and the PDF files there now.
    QString OutputDir(const QString& queue) const;
    QSet<QString> OutputFiles(const QString& queue) const;
    // The PDF a job ("PDF-3") became, once the job has completed; "" on
    // time-out. Owned by the job's user, mode 0600; root reads it.
    QString WaitForJobOutput(const QString& jobId, int timeoutMs) const;

    // Ids ("PDF-3") of the queue's jobs: waiting or printing, or completed.
    QStringList PendingJobs(const QString& queue) const;
    QStringList CompletedJobs(const QString& queue) const;
    bool WaitUntilQueueEmpty(const QString& queue, int timeoutMs) const;

private:
    QString Script(const QStringList& arguments, int* exitCode) const;
    void GiveBackEnvironment();

    std::unique_ptr<QTemporaryDir> folder_;
    QProcess cupsd_;
    QProcessEnvironment env_;
    // Variables UseInThisProcess() replaced, with whether each was set.
    QMap<QByteArray, std::pair<bool, QByteArray>> savedEnv_;
};
