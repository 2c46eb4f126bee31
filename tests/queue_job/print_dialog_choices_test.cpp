// What the operator chooses in the print dialog holds, through the real window
// and dialog on the test's own scheduler: the output chosen is offered again,
// the paper stays Letter unless changed on purpose (and then asked about), a
// run with nothing to print says so, and a file holds the copies asked for.
#include "queue_job/queue_window_fixture.h"

#include "support/printed_pdf.h"
#include "run/run_plan.h"
#include "support/private_cups_scheduler.h"
#include "support/tools.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSize>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kFileEntry = QStringLiteral("Print to File (PDF)");
const QString kA4Question = QStringLiteral("The passes are laid out for US Letter; print on A4?");

enum class Output { Queue, File, AsShown };  // AsShown: Return on whatever the dialog opens with
enum class Properties { Unopened, Ok, ChangedToA4 };

// One click on Print and what it must give.
struct Attempt {
    Output output;
    Properties properties = Properties::Unopened;
    const char* pages = "";  // the dialog's "Pages" field, "" for all
    int copies = 1;
    bool collate = true;
    QString opensOn;             // the output the dialog opens with, "" unchecked
    QString told;                // the message or question that shows, answered OK or No
    std::vector<int> sheets;     // the output's pages as sheets of the full run; none: no job, no file
    const char* pageSet = "";    // "Odd Pages" or "Even Pages" in the dialog's page set; "" all
    bool yes = false;            // the question is answered Yes
};

QString CopiesAsked(int copies)
{
    return QStringLiteral("%1 copies would print every barcode of this run %1 times. Print anyway?").arg(copies);
}

struct Case {
    const char* name;
    const char* quantity;  // one row of lane 07 on 2 x 2 sheets
    std::vector<Attempt> clicks;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

const Case kCases[] = {
    {"FileIsOfferedAgainAndReturnWritesIt", "6",
     {{Output::File, {}, "", 1, true, "", "", {1, 2}}, {Output::AsShown, {}, "", 1, true, kFileEntry, "", {1, 2}}}},
    {"PropertiesLeaveLetter", "6",
     {{Output::Queue, Properties::Ok, "", 1, true, "", "", {1, 2}},
      {Output::Queue, {}, "", 1, true, "", "", {1, 2}},
      {Output::File, {}, "", 1, true, "", "", {1, 2}}}},
    {"A4ChosenIsAskedAboutAndNoSendsNothing", "6",
     {{Output::Queue, Properties::ChangedToA4, "", 1, true, "", kA4Question, {}},
      {Output::Queue, {}, "", 1, true, "", "", {1, 2}}}},
    {"PagesBeyondTheLastSheet", "13", {{Output::Queue, {}, "9", 1, true, "", kNoSheetInRangeText, {}}}},
    {"PagesPickSheetsOnce", "13", {{Output::Queue, {}, "2,4", 1, true, "", "", {2, 4}}}},
    // An open-ended list means on a queue what it means on a file; the next run
    // that asks for all sheets gets all of them.
    {"PagesOpenEnded", "16",
     {{Output::Queue, {}, "3-", 1, true, "", "", {3, 4}},
      {Output::Queue, {}, "", 1, true, "", "", {1, 2, 3, 4}},
      {Output::File, {}, "2-3,4-", 1, true, "", "", {2, 3, 4}}}},
    {"OddAndEvenPages", "16",
     {{Output::Queue, {}, "", 1, true, "", "", {1, 3}, "Odd Pages"},
      {Output::Queue, {}, "2-", 1, true, "", "", {2, 4}, "Even Pages"},
      {Output::Queue, {}, "", 1, true, "", "", {1, 2, 3, 4}, "All Pages"}}},
    // A file is offered both as a queue is.
    {"OddAndEvenPagesOnAFile", "16",
     {{Output::File, {}, "", 1, true, "", "", {1, 3}, "Odd Pages"},
      {Output::File, {}, "2-", 1, true, "", "", {2, 4}, "Even Pages"}}},
    {"NoRowHasAQuantity", "", {{Output::File, {}, "", 1, true, "", kNoQuantityText, {}}}},
    // Copies carry every barcode again: asked, default No; the next dialog opens on one copy.
    {"TwoCopiesToAFileCollated", "6",
     {{Output::File, {}, "", 2, true, "", CopiesAsked(2), {1, 2, 1, 2}, "", true},
      {Output::AsShown, {}, "", 1, true, kFileEntry, "", {1, 2}}}},
    {"TwoCopiesToAFileUncollated", "6", {{Output::File, {}, "", 2, false, "", CopiesAsked(2), {1, 1, 2, 2}, "", true}}},
    {"CopiesAskedAndNoPrintsNothing", "6", {{Output::Queue, {}, "", 3, true, "", CopiesAsked(3), {}}}},
};

QPageSize ShownPaper(QWidget* properties)
{
    return qvariant_cast<QPageSize>(properties->findChild<QComboBox*>("pageSizeCombo")->currentData());
}

// Opens Qt's printer properties from the open print dialog, checks that it shows
// Letter, changes the paper if asked to, and closes it with OK.
void UseProperties(QWidget* dialog, Properties use)
{
    ModalScript script;
    script.Expect("", [use](QWidget* properties) {
        auto* papers = properties->findChild<QComboBox*>("pageSizeCombo");
        ASSERT_NE(papers, nullptr);
        EXPECT_EQ(ShownPaper(properties).key(), QStringLiteral("Letter")) << papers->currentText().toStdString();
        for (int i = 0; use == Properties::ChangedToA4 && i < papers->count(); ++i) {
            if (qvariant_cast<QPageSize>(papers->itemData(i)).isEquivalentTo(QPageSize(QPageSize::A4)))
                papers->setCurrentIndex(i);
        }
        static_cast<QDialog*>(properties)->accept();
    });
    dialog->findChild<QPushButton*>("properties")->click();
    ExpectEveryDialogAnswered(script);
}

class PrintDialogChoices : public QueueWindowTest, public ::testing::WithParamInterface<Case> {
protected:
    // What the dialog offered, and the message or question shown after it.
    void ClickPrint(const Attempt& click, const QString& pdf, QString* openedOn, QString* pageFields, QString* told)
    {
        ModalScript script;
        script.Expect("printDialog", [&](QWidget* dialog) {
            auto* outputs = dialog->findChild<QComboBox*>("printers");
            auto* fileName = dialog->findChild<QLineEdit*>("filename");
            *openedOn = outputs->currentText();
            *pageFields = QStringLiteral("%1-%2").arg(dialog->findChild<QSpinBox*>("from")->value())
                              .arg(dialog->findChild<QSpinBox*>("to")->value());
            if (click.output == Output::AsShown) {
                EXPECT_EQ(fileName->text(), pdf);
            } else if (click.output == Output::Queue) {
                outputs->setCurrentIndex(outputs->findText(kQueue));
            } else {
                ChoosePdfOutput(dialog, pdf);
            }
            if (click.properties != Properties::Unopened)
                UseProperties(dialog, click.properties);
            if (*click.pages) {
                EXPECT_TRUE(dialog->findChild<QRadioButton*>("pagesRadioButton")->isEnabled()) << "Pages offered";
                dialog->findChild<QRadioButton*>("pagesRadioButton")->setChecked(true);
                dialog->findChild<QLineEdit*>("pagesLineEdit")->setText(click.pages);
            }
            if (*click.pageSet) {
                auto* set = dialog->findChild<QComboBox*>("pageSetCombo");
                ASSERT_NE(set, nullptr);
                EXPECT_TRUE(set->isEnabled()) << "Odd and Even Pages offered";
                set->setCurrentIndex(set->findText(click.pageSet));
                ASSERT_GE(set->currentIndex(), 0);
            }
            // Reverse order is not offered: the run would not do it.
            if (auto* reverse = dialog->findChild<QCheckBox*>("reverse")) {
                EXPECT_FALSE(reverse->isVisible());
            }
            EXPECT_EQ(dialog->findChild<QSpinBox*>("copies")->value(), 1) << "the dialog opens on one copy";
            dialog->findChild<QSpinBox*>("copies")->setValue(click.copies);
            dialog->findChild<QCheckBox*>("collate")->setChecked(click.collate);
            QWidget* focused = QApplication::focusWidget();
            QTest::keyClick(focused && focused->window() == dialog ? focused : dialog, Qt::Key_Return);
        });
        const auto answer = [told, yes = click.yes](QWidget* box) {
            *told = static_cast<QMessageBox*>(box)->text();
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Tessary Utility"));
            auto* message = static_cast<QMessageBox*>(box);
            if (yes) {
                ASSERT_EQ(message->defaultButton(), message->button(QMessageBox::No));
                message->button(QMessageBox::Yes)->click();
                return;
            }
            (message->button(QMessageBox::No) ? message->button(QMessageBox::No) : message->button(QMessageBox::Ok))
                ->click();
        };
        const char* const box = click.told == kA4Question                ? "paperQuestion"
                                : click.told.endsWith("times. Print anyway?") ? "copiesQuestion"
                                                                              : "messageBox";
        if (!click.told.isEmpty())
            script.Expect(box, answer);
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
    }

    void ExpectSheets(const QString& pdf, const std::vector<int>& sheets, const QString& workDir)
    {
        ASSERT_EQ(PdfPageCount(pdf), int(sheets.size()));
        EXPECT_TRUE(RunTool("pdfinfo", {pdf}).contains(QRegularExpression("Page size:\\s+612 x 792 pts")))
            << RunTool("pdfinfo", {pdf}).toStdString();
        const PassListRow row = window->passList().EntryRow(1);
        for (int page = 1; page <= int(sheets.size()); ++page) {
            const int first = (sheets[page - 1] - 1) * 4;
            QStringList expected = ExpectedBarcodes(row, first, std::min(4, row.quantity() - first));
            expected.sort();
            EXPECT_EQ(ScanPdfPage(pdf, page, workDir), expected) << "page " << page;
        }
    }
};

TEST_P(PrintDialogChoices, Hold)
{
    const Case& c = GetParam();
    AddRow("07", QDate(2026, 12, 9), c.quantity);
    SetSheet("2", "2");
    QTemporaryDir folder;
    const QString pdf = folder.filePath("run.pdf");
    for (const Attempt& click : c.clicks) {
        SCOPED_TRACE("click " + std::to_string(&click - c.clicks.data() + 1));
        QFile::remove(pdf);
        const QStringList jobsBefore = CompletedJobs();
        const QSet<QString> outputBefore = OutputFiles();
        QString openedOn, pageFields, told;
        ClickPrint(click, pdf, &openedOn, &pageFields, &told);
        EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
        const int runSheets = (QString(c.quantity).toInt() + 3) / 4;
        EXPECT_EQ(pageFields, QStringLiteral("%1-%2").arg(runSheets > 0 ? 1 : 0).arg(runSheets));
        if (!click.opensOn.isEmpty()) {
            EXPECT_EQ(openedOn, click.opensOn);
        }
        EXPECT_EQ(told, click.told);
        const bool toFile = click.output == Output::File || openedOn == kFileEntry;
        if (click.sheets.empty()) {
            ExpectNoJob(jobsBefore, outputBefore);
            EXPECT_FALSE(QFile::exists(pdf));
        } else if (toFile) {
            ExpectSheets(pdf, click.sheets, folder.path());
            ExpectNoJob(jobsBefore, outputBefore);
        } else {
            ExpectSheets(Cups().WaitForJobOutput(OnlyNewJob(jobsBefore), 60000), click.sheets, folder.path());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PrintDialogChoices, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
