// A long run to a queue, watched in the window: the line over the buttons
// counts the sheets drawn and checked as they go, and Abort from there prints
// the sheets drawn so far, exactly the passes the register then holds.
#include "queue_job/queue_window_fixture.h"

#include "register/pass_register.h"
#include "register/register_location.h"
#include "support/pdf_barcodes.h"
#include "support/private_cups_scheduler.h"
#include "support/scoped_env.h"

#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <map>

namespace {

// "Sheet 12 of 1782 drawn and checked": the count, or -1 for any other text.
int SheetsCounted(const QProgressBar& line, int total)
{
    const QRegularExpression counted(QStringLiteral("^Sheet (\\d+) of %1 drawn and checked$").arg(total));
    const QRegularExpressionMatch match = counted.match(line.format());
    return line.isVisible() && match.hasMatch() ? match.captured(1).toInt() : -1;
}

TEST_F(QueueWindowTest, ProgressCountsSheetsAndAbortPrintsTheSheetsDrawnAsTheRegisterRecords)
{
    QTemporaryDir dir;
    const QString registerFile = dir.filePath("passes.sqlite");
    ScopedEnv registerOn{"TESSARY_REGISTER", registerFile};
    // 72 rows of 99 on sheets of 2 x 2: 1,782 sheets, no barcode twice, long
    // enough to be watched.
    for (int day = 0; day < 9; ++day) {
        for (const char* lane : {"01", "02", "03", "04", "05", "06", "07", "09"})
            AddRow(lane, QDate(2026, 12, 14 + day), "99");
    }
    SetSheet("2", "2");
    const int sheets = 1782;
    const QStringList jobsBefore = CompletedJobs();

    const auto* line = Find<QProgressBar>("runProgress");
    ASSERT_NE(line, nullptr);
    EXPECT_FALSE(line->isVisible());
    std::vector<int> counts;
    std::vector<QImage> moments;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const int count = SheetsCounted(*line, sheets);
        if (count < 1 || (!counts.empty() && count == counts.back()))
            return;
        counts.push_back(count);
        moments.push_back(window->grab().toImage());
        if (counts.size() == 2) {
            watch.stop();
            QTest::mouseClick(Find<QPushButton>("btnPrint"), Qt::LeftButton);
        }
    });
    watch.start();
    EXPECT_EQ(PrintToQueue(), QString());
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_LT(counts[0], counts[1]);
    EXPECT_LT(counts[1], sheets);
    EXPECT_NE(moments[0], moments[1]);  // the window showed each count
    // For a person to look at: TESSARY_SCREENSHOTS names a folder to keep them in.
    const QString keep = qEnvironmentVariable("TESSARY_SCREENSHOTS");
    for (std::size_t i = 0; i < moments.size() && !keep.isEmpty(); ++i)
        moments[i].save(QStringLiteral("%1/run-progress-%2.png").arg(keep).arg(i + 1));
    EXPECT_FALSE(line->isVisible());    // and is as it was once the run is over
    EXPECT_EQ(window->findChild<QPushButton*>("btnPrint")->text(), "&Print");

    const QString pdf = Cups().WaitForJobOutput(OnlyNewJob(jobsBefore), 120000);
    const int printed = PdfPageCount(pdf);
    ASSERT_GE(printed, counts[1] - 1);
    ASSERT_LT(printed, sheets);
    const int onLastSheet = ScanPdfPage(pdf, printed, dir.path()).size();
    PassRegister passRegister(ParseRegisterLocation(registerFile), RegisterAccess::ReadOnly);
    RecordFilter issued;
    issued.issuedOnly = true;
    std::map<int, int> recordedBySheet;
    for (const PassRecord& record : passRegister.Records(issued))
        ++recordedBySheet[record.sheet];
    std::map<int, int> printedBySheet;
    for (int sheet = 1; sheet < printed; ++sheet)
        printedBySheet[sheet] = 4;
    if (onLastSheet > 0)
        printedBySheet[printed] = onLastSheet;
    const auto last = [](const std::map<int, int>& bySheet) {
        return bySheet.empty() ? std::string("none")
                               : std::to_string(bySheet.rbegin()->first) + ":" + std::to_string(bySheet.rbegin()->second);
    };
    EXPECT_EQ(recordedBySheet, printedBySheet)
        << "recorded up to " << last(recordedBySheet) << " over " << recordedBySheet.size() << " sheets, printed "
        << printed << " pages, the last scanning " << onLastSheet;
}

}  // namespace
