// The window printing to a real CUPS queue: a scheduler of the test's own with
// a cups-pdf queue as its default, whose output PDF must carry every barcode of
// the run.
#include "app/fontpicker/font_combo_box.h"
#include "app/tessary_application.h"
#include "app/tfrm_main.h"
#include "support/main_window_fixture.h"
#include "fonts/system_typefaces.h"
#include "passes/pass_list.h"
#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"
#include "support/shared_scheduler.h"
#include "support/pdf_barcodes.h"
#include "support/tools.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iostream>

namespace {

const QString kQueue = QStringLiteral("PDF");

struct Entry {
    const char* lane;
    QDate validOn;
    const char* quantity;
};

class CupsQueue : public MainWindowTest {
protected:
    static PrivateCupsScheduler& Scheduler() { return SharedScheduler::Get(); }

    void SetUp() override
    {
        SKIP_OR_ASSERT_SHARED_SCHEDULER();
        ASSERT_EQ(SharedScheduler::Queue(kQueue, QString(), true).toStdString(), "");
        ASSERT_EQ(SharedScheduler::UseInThisProcess().toStdString(), "");
        MainWindowTest::SetUp();
    }

    void FillWindow(int cols, int rows, const std::vector<Entry>& entries)
    {
        SetSheet(QString::number(cols), QString::number(rows));
        SetText("ebxLine1", QStringLiteral("CUPS QUEUE"));
        SetText("ebxLine5", QString());
        Find<TFontComboBox>("cboFontName")->SelectFontByName("Liberation Sans");
        for (const Entry& entry : entries)
            AddRow(QLatin1String(entry.lane), entry.validOn, QLatin1String(entry.quantity));
    }

    // Clicks Print and accepts the print dialog as it comes up, noting the
    // printer it offers; with error, an error box must follow, its text kept.
    void PrintThroughDialog(QString& dialogPrinter, QString* error = nullptr)
    {
        ModalScript script;
        script.Expect(QStringLiteral("printDialog"), [&dialogPrinter](QWidget* dialog) {
            if (auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers")))
                dialogPrinter = printers->currentText();
            static_cast<QDialog*>(dialog)->accept();
        });
        if (error)
            script.Expect(QStringLiteral("errorBox"), AcceptMessage(error));
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
    }
};


QStringList ExpectedBarcodes(const std::vector<PassListRow>& rows)
{
    QStringList barcodes;
    for (const PassListRow& row : rows) {
        const CalendarInstant instant = DecodeValidOnStamp(row.validOnStamp);
        for (int i = 0; i < row.quantity(); ++i)
            barcodes << BarcodeText(PassNumberText(instant, i), row.lane);
    }
    return barcodes;
}

TEST_F(CupsQueue, TheQueueIsTheWindowsPrinter)
{
    EXPECT_EQ(QPrinterInfo::defaultPrinterName(), kQueue);
    EXPECT_TRUE(QPrinterInfo::availablePrinterNames().contains(kQueue));
    EXPECT_EQ(window->printer().printerName(), kQueue);
    EXPECT_EQ(window->printer().outputFormat(), QPrinter::NativeFormat);
}

TEST_F(CupsQueue, FontPickerListsTheSystemTypefaces)
{
    ASSERT_EQ(window->printer().printerName(), kQueue);
    // With a queue as the printer, the picker still offers the system's typefaces.
    QStringList expected;
    for (const QString& family : SystemFontFamilies()) {
        if (!expected.contains(family, Qt::CaseInsensitive))
            expected << family;
    }
    const auto& picker = *Find<TFontComboBox>("cboFontName");
    QStringList listed;
    for (int i = 0; i < picker.count(); ++i)
        listed << picker.itemText(i);
    const auto caseless = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    std::sort(expected.begin(), expected.end(), caseless);
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(listed.contains(QStringLiteral("Liberation Sans")));
    for (const QString& entry : listed) {
        EXPECT_FALSE(entry.contains(QLatin1Char('['))) << entry.toStdString();
        EXPECT_FALSE(IsGenericFamilyName(entry)) << entry.toStdString();
    }
}

struct QueueRun {
    const char* name;
    int cols;
    int rows;
    std::vector<Entry> entries;
    int sheets;
};

class CupsQueueRun : public CupsQueue, public ::testing::WithParamInterface<QueueRun> {};

TEST_P(CupsQueueRun, EveryPassOfTheJobScans)
{
    const QueueRun& run = GetParam();
    FillWindow(run.cols, run.rows, run.entries);
    const std::vector<PassListRow> rows = window->passList().EntryRows();
    ASSERT_EQ(rows.size(), run.entries.size());
    QStringList expected = ExpectedBarcodes(rows);

    const QStringList jobsBefore = Scheduler().CompletedJobs(kQueue);
    QString dialogPrinter;
    PrintThroughDialog(dialogPrinter);
    EXPECT_EQ(dialogPrinter, kQueue);

    ASSERT_TRUE(Scheduler().WaitUntilQueueEmpty(kQueue, 120000))
        << Scheduler().PendingJobs(kQueue).join(' ').toStdString();
    QStringList newJobs = Scheduler().CompletedJobs(kQueue);
    for (const QString& job : jobsBefore)
        newJobs.removeAll(job);
    ASSERT_EQ(newJobs.size(), 1) << newJobs.join(' ').toStdString();
    const QString pdf = Scheduler().WaitForJobOutput(newJobs.front(), 20000);
    ASSERT_FALSE(pdf.isEmpty()) << "no output in " << Scheduler().OutputDir(kQueue).toStdString();

    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(run.sheets))))
        << info.toStdString();
    QTemporaryDir scans;
    QStringList found = ZbarPdfBarcodes(pdf, scans.path());
    found.sort();
    expected.sort();
    EXPECT_EQ(found, expected);
    int decoded = 0;
    for (const QString& barcode : expected)
        decoded += found.contains(barcode) ? 1 : 0;
    std::cout << run.name << " via " << newJobs.front().toStdString() << " (" << pdf.toStdString()
              << "): passes printed: " << expected.size() << ", decoded: " << decoded << std::endl;
    QFile::remove(pdf);
}

const QDate kValid(2026, 12, 8);

INSTANTIATE_TEST_SUITE_P(
    Runs, CupsQueueRun,
    ::testing::Values(QueueRun{"TwoSheetsOfTwoByFive", 2, 5, {{"07", kValid, "12"}, {"03", kValid.addDays(1), "3"}}, 2},
                      QueueRun{"OneSheetOfThreeByFour", 3, 4, {{"01", kValid, "12"}}, 1}),
    [](const ::testing::TestParamInfo<QueueRun>& info) { return std::string(info.param.name); });

struct FailingRun {
    const char* name;
    std::vector<Entry> entries;
};

class CupsQueueFailingRun : public CupsQueue, public ::testing::WithParamInterface<FailingRun> {};

// A row that cannot be numbered is found before the document is begun, so the
// queue gets nothing rather than a job cut off half way.
TEST_P(CupsQueueFailingRun, SendsNoJob)
{
    FillWindow(2, 5, GetParam().entries);
    ASSERT_EQ(window->passList().EntryRowCount(), int(GetParam().entries.size()));
    const QStringList jobsBefore = Scheduler().CompletedJobs(kQueue);
    const QSet<QString> filesBefore = Scheduler().OutputFiles(kQueue);
    QString dialogPrinter;
    QString error;
    PrintThroughDialog(dialogPrinter, &error);
    EXPECT_EQ(dialogPrinter, kQueue);
    EXPECT_EQ(error, QStringLiteral("Invalid argument to date encode."));
    EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));

    // A job wrongly sent is on the scheduler's list by now: the run creates it
    // and waits for the answer before it goes on.
    EXPECT_TRUE(Scheduler().WaitUntilQueueEmpty(kQueue, 30000));
    EXPECT_EQ(Scheduler().CompletedJobs(kQueue), jobsBefore);
    EXPECT_EQ(Scheduler().OutputFiles(kQueue), filesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CupsQueueFailingRun,
    ::testing::Values(FailingRun{"Only1979", {{"05", QDate(1979, 12, 31), "4"}}},
                      FailingRun{"GoodRowThen1979", {{"02", kValid, "6"}, {"04", QDate(1979, 6, 1), "2"}}},
                      FailingRun{"1979BetweenGoodRows",
                                 {{"02", kValid, "3"}, {"06", QDate(1979, 1, 1), "1"}, {"09", kValid, "5"}}}),
    [](const ::testing::TestParamInfo<FailingRun>& info) { return std::string(info.param.name); });

}  // namespace
