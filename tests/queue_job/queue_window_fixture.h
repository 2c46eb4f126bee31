#pragma once

#include "support/main_window_fixture.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class PrivateCupsScheduler;

extern const QString kQueue;

// The main window printing to "PDF", a cups-pdf queue of a scheduler of the
// test program's own. One scheduler serves the whole program, started before
// the first test and stopped after the last: libcups settles on a scheduler
// once per thread.
class QueueWindowTest : public MainWindowTest {
public:
    static PrivateCupsScheduler& Cups();

protected:
    void SetUp() override;

    // Clicks Print and accepts the dialog on the queue, after inDialog (if
    // any) has acted on the open dialog, answering Yes to the copies question
    // when copiesAsked. Returns the error box's text, "" when none showed.
    QString PrintToQueue(const std::function<void(QWidget* dialog)>& inDialog = {}, bool copiesAsked = false);

    QStringList CompletedJobs() const;
    QSet<QString> OutputFiles() const;
    // The one job completed since `before`, "" (with a test failure) otherwise.
    QString OnlyNewJob(const QStringList& before) const;
    // Gives a job that was wrongly sent time to arrive, then checks that none did.
    void ExpectNoJob(const QStringList& completedBefore, const QSet<QString>& outputBefore) const;
    // The job's PDF has `sheets` pages and every pass of entry row 1 scans.
    void ExpectEveryPass(const QString& jobId, int sheets) const;
};
