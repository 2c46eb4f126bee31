#include "queue_job/queue_window_fixture.h"
#include "support/tools.h"

#include "support/answer_question.h"
#include "support/printed_pdf.h"
#include "support/shared_scheduler.h"

#include <QComboBox>
#include <QDialog>
#include <QTemporaryDir>


const QString kQueue = QStringLiteral("PDF");

PrivateCupsScheduler& QueueWindowTest::Cups() { return SharedScheduler::Get(); }

void QueueWindowTest::SetUp()
{
    SKIP_OR_ASSERT_SHARED_SCHEDULER();
    ASSERT_EQ(SharedScheduler::Queue(kQueue, QString(), true).toStdString(), "");
    ASSERT_EQ(SharedScheduler::UseInThisProcess().toStdString(), "");
    MainWindowTest::SetUp();
}

QString QueueWindowTest::PrintToQueue(const std::function<void(QWidget* dialog)>& inDialog, bool copiesAsked)
{
    QString error;
    QString asked;
    ModalScript script;
    script.Expect("printDialog", [&inDialog](QWidget* dialog) {
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        if (printers)
            printers->setCurrentIndex(printers->findText(kQueue));
        if (inDialog)
            inDialog(dialog);
        static_cast<QDialog*>(dialog)->accept();
    });
    if (copiesAsked)
        script.Expect("copiesQuestion", Answer(QMessageBox::Yes, &asked));
    script.Expect("errorBox", AcceptMessage(&error));
    Click("btnPrint");
    EXPECT_TRUE(script.Unexpected().isEmpty()) << Joined(script.Unexpected());
    EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
    return error;
}

QStringList QueueWindowTest::CompletedJobs() const { return Cups().CompletedJobs(kQueue); }

QSet<QString> QueueWindowTest::OutputFiles() const { return Cups().OutputFiles(kQueue); }

QString QueueWindowTest::OnlyNewJob(const QStringList& before) const
{
    EXPECT_TRUE(Cups().WaitUntilQueueEmpty(kQueue, 120000)) << Joined(Cups().PendingJobs(kQueue));
    QStringList added = CompletedJobs();
    for (const QString& job : before)
        added.removeAll(job);
    EXPECT_EQ(added.size(), 1) << Joined(added);
    return added.size() == 1 ? added.front() : QString();
}

// A job the run sent is on the scheduler's list once the run has returned (it
// is created and answered before the run goes on): nothing to wait for first.
void QueueWindowTest::ExpectNoJob(const QStringList& completedBefore, const QSet<QString>& outputBefore) const
{
    EXPECT_TRUE(Cups().WaitUntilQueueEmpty(kQueue, 30000)) << Joined(Cups().PendingJobs(kQueue));
    // A queue deleted and added again has lost its earlier jobs: only new ones count.
    QStringList added = CompletedJobs();
    for (const QString& job : completedBefore)
        added.removeAll(job);
    EXPECT_TRUE(added.isEmpty()) << Joined(added);
    EXPECT_EQ(OutputFiles(), outputBefore);
}

void QueueWindowTest::ExpectEveryPass(const QString& jobId, int sheets) const
{
    const QString pdf = Cups().WaitForJobOutput(jobId, 60000);
    ASSERT_FALSE(pdf.isEmpty()) << "no output for " << jobId.toStdString();
    EXPECT_EQ(PdfPageCount(pdf), sheets);
    QTemporaryDir scans;
    QStringList found;
    for (int sheet = 1; sheet <= sheets; ++sheet)
        found += ScanPdfPage(pdf, sheet, scans.path());
    found.sort();
    const PassListRow row = window->passList().EntryRow(1);
    QStringList expected = ExpectedBarcodes(row, 0, row.quantity());
    expected.sort();
    EXPECT_EQ(Joined(found), Joined(expected));
}
