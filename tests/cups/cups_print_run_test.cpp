// The window printing to a real CUPS queue: a scheduler of the test's own with
// a cups-pdf queue as its default, whose output PDF must carry every barcode of
// the run.
#include "app/fontpicker/font_combo_box.h"
#include "app/tessary_application.h"
#include "app/tfrm_main.h"
#include "cups/modal_answerer.h"
#include "fonts/system_typefaces.h"
#include "passes/pass_list.h"
#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"
#include "support/shared_scheduler.h"
#include "support/pdf_barcodes.h"
#include "support/tools.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <memory>

// Readable failure messages for lists of texts.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

const QString kQueue = QStringLiteral("PDF");

struct Entry {
    const char* lane;
    QDate validOn;
    const char* quantity;
};

class CupsQueue : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetUpApplication(); }
    static PrivateCupsScheduler& Scheduler() { return SharedScheduler::Get(); }

    void SetUp() override
    {
        SKIP_OR_ASSERT_SHARED_SCHEDULER();
        ASSERT_EQ(SharedScheduler::Queue(kQueue, QString(), true).toStdString(), "");
        ASSERT_EQ(SharedScheduler::UseInThisProcess().toStdString(), "");
        window_ = std::make_unique<TfrmMain>();
        window_->show();
    }
    void TearDown() override { window_.reset(); }

    template <typename Control>
    Control& Find(const char* name)
    {
        auto* control = window_->findChild<Control*>(QLatin1String(name));
        if (!control)
            throw std::runtime_error(std::string("no control ") + name);
        return *control;
    }

    void FillWindow(int cols, int rows, const std::vector<Entry>& entries)
    {
        Find<QLineEdit>("txtLeftMargin").setText("0.25");
        Find<QLineEdit>("txtTop").setText("0.5");
        Find<QLineEdit>("ebxCols").setText(QString::number(cols));
        Find<QLineEdit>("ebxRows").setText(QString::number(rows));
        Find<QLineEdit>("txtFontSize").setText("1.0");
        Find<QLineEdit>("ebxLine1").setText("CUPS QUEUE");
        Find<TFontComboBox>("cboFontName").SelectFontByName("Liberation Sans");
        for (const Entry& entry : entries) {
            auto& lane = Find<QComboBox>("cboType");
            lane.setCurrentIndex(lane.findText(QLatin1String(entry.lane)));
            Find<QDateEdit>("dtpDate").setDate(entry.validOn);
            Find<QLineEdit>("txtQty").setText(QLatin1String(entry.quantity));
            Find<QPushButton>("btnAdd").click();
        }
    }

    // Clicks Print and accepts the print dialog as it comes up, noting the
    // printer it offers. Error boxes are closed and their texts kept.
    QStringList PrintThroughDialog(QString& dialogPrinter, QStringList& errorTexts)
    {
        ModalAnswerer answerer({
            {QStringLiteral("printDialog"),
             [&dialogPrinter](QDialog& dialog) {
                 if (auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers")))
                     dialogPrinter = printers->currentText();
                 dialog.accept();
             }},
            {QStringLiteral("errorBox"),
             [&errorTexts](QDialog& dialog) {
                 errorTexts << static_cast<QMessageBox&>(dialog).text();
                 dialog.accept();
             }},
        });
        Find<QPushButton>("btnPrint").click();
        return answerer.Seen();
    }

    std::unique_ptr<TfrmMain> window_;
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
    EXPECT_EQ(window_->printer().printerName(), kQueue);
    EXPECT_EQ(window_->printer().outputFormat(), QPrinter::NativeFormat);
}

TEST_F(CupsQueue, FontPickerListsTheSystemTypefaces)
{
    ASSERT_EQ(window_->printer().printerName(), kQueue);
    // With a queue as the printer, the picker still offers the system's typefaces.
    QStringList expected;
    for (const QString& family : SystemFontFamilies()) {
        if (!expected.contains(family, Qt::CaseInsensitive))
            expected << family;
    }
    const auto& picker = Find<TFontComboBox>("cboFontName");
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
    const std::vector<PassListRow> rows = window_->passList().EntryRows();
    ASSERT_EQ(rows.size(), run.entries.size());
    QStringList expected = ExpectedBarcodes(rows);

    const QStringList jobsBefore = Scheduler().CompletedJobs(kQueue);
    QString dialogPrinter;
    QStringList errors;
    const QStringList seen = PrintThroughDialog(dialogPrinter, errors);
    EXPECT_EQ(seen, QStringList{QStringLiteral("printDialog")});
    EXPECT_EQ(dialogPrinter, kQueue);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

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
    ASSERT_EQ(window_->passList().EntryRowCount(), int(GetParam().entries.size()));
    const QStringList jobsBefore = Scheduler().CompletedJobs(kQueue);
    const QSet<QString> filesBefore = Scheduler().OutputFiles(kQueue);
    QString dialogPrinter;
    QStringList errors;
    const QStringList seen = PrintThroughDialog(dialogPrinter, errors);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("printDialog"), QStringLiteral("errorBox")}));
    EXPECT_EQ(dialogPrinter, kQueue);
    EXPECT_EQ(errors, QStringList{QStringLiteral("Invalid argument to date encode.")});
    EXPECT_EQ(Find<QPushButton>("btnPrint").text(), QStringLiteral("&Print"));

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
