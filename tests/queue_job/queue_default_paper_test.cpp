// A queue whose administrator made A4 its default, in the scheduler's own
// default options (lpadmin -o PageSize-default=A4) or as its media, gets
// Letter jobs from the window: the job names the stock's paper itself.
#include "support/modal_script.h"
#include "support/printed_pdf.h"
#include "queue_job/queue_window_fixture.h"
#include "support/private_cups_scheduler.h"
#include "support/tools.h"

#include <QDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

// Opens Qt's printer properties from the open print dialog and closes it with OK.
void PropertiesClosedWithOk(QWidget* dialog)
{
    ModalScript script;
    script.Expect("", [](QWidget* properties) { static_cast<QDialog*>(properties)->accept(); });
    dialog->findChild<QPushButton*>("properties")->click();
    EXPECT_EQ(script.Pending(), 0);
}

QString PageSizeOf(const QString& pdf)
{
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+ x [0-9.]+) pts")).match(RunTool("pdfinfo", {pdf}));
    return size.hasMatch() ? size.captured(1) : QStringLiteral("(none)");
}

TEST_F(QueueWindowTest, AQueueWhoseDefaultPaperIsA4GetsLetterJobs)
{
    AddRow("07", QDate(2026, 12, 9), "4");
    SetSheet("2", "2");
    for (const QString& adminDefault : {QStringLiteral("PageSize-default=A4"),
                                       QStringLiteral("media-default=iso_a4_210x297mm")}) {
        SCOPED_TRACE(adminDefault.toStdString());
        Cups().Run("lpadmin", {"-p", kQueue, "-o", adminDefault});
        const auto restore = qScopeGuard(
            [&adminDefault] { Cups().Run("lpadmin", {"-p", kQueue, "-R", adminDefault.section('=', 0, 0)}); });
        for (const bool openProperties : {true, false}) {
            SCOPED_TRACE(openProperties ? "properties opened" : "properties left alone");
            const QStringList before = CompletedJobs();
            EXPECT_EQ(PrintToQueue([openProperties](QWidget* dialog) {
                          if (openProperties)
                              PropertiesClosedWithOk(dialog);
                      }),
                      QString());
            const QString job = OnlyNewJob(before);
            ASSERT_FALSE(job.isEmpty());
            const QString pdf = Cups().WaitForJobOutput(job, 60000);
            ASSERT_FALSE(pdf.isEmpty());
            EXPECT_EQ(PageSizeOf(pdf), QStringLiteral("612 x 792"));
        }
    }
    QTemporaryDir dir;
    ModalScript script;
    PrintTo(dir.filePath("next.pdf"), script);
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_EQ(PageSizeOf(dir.filePath("next.pdf")), QStringLiteral("612 x 792"));
}

}  // namespace
