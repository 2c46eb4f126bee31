#pragma once

#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>

// A CUPS scheduler of the test's own with a cups-pdf queue as the default
// printer. The scheduler this object started is stopped by its process id when
// the object goes, whatever state the test ended in.
class CupsScheduler {
public:
    CupsScheduler() = default;
    ~CupsScheduler();
    CupsScheduler(const CupsScheduler&) = delete;
    CupsScheduler& operator=(const CupsScheduler&) = delete;

    // Starts the scheduler (or uses one already running) and adds the queue.
    // Returns why it could not, or "" when the queue is ready.
    QString Start(const QString& queue);

    // Stops the scheduler when this object started it; removes the queue when
    // this object added it.
    void Stop();

    qint64 SchedulerPid() const { return startedPid_; }
    QString Queue() const { return queue_; }

    // Ids ("PDF-3") of the queue's jobs: waiting ones, or completed ones.
    QStringList PendingJobs() const;
    QStringList CompletedJobs() const;
    // Waits until no job of the queue is waiting or printing.
    bool WaitUntilQueueEmpty(int timeoutMs) const;

    // The folder where cups-pdf writes the current user's jobs.
    static QString CupsPdfOutputDir();
    // The PDF files in the output folder now.
    static QSet<QString> OutputFiles();

private:
    QProcess scheduler_;
    qint64 startedPid_ = 0;
    bool addedQueue_ = false;
    QString queue_;
};

// Runs a program and gives its standard output and standard error together.
QString RunCommand(const QString& program, const QStringList& arguments, int* exitCode = nullptr);
