// What the operator chooses in and around the print dialog reaches the run:
// the page range, the answers about passes that share a barcode and barcodes
// that read only in part, and numbers
// that are not numbers.
#include "support/answer_question.h"
#include "support/main_window_fixture.h"
#include "support/printed_pdf.h"
#include "support/tools.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {


// "Print to File (PDF)" with "Pages from .. to .." chosen in Qt's dialog.
ModalScript::Action PrintPagesToPdf(const QString& pdfPath, int from, int to)
{
    return [pdfPath, from, to](QWidget* dialog) {
        auto* range = dialog->findChild<QRadioButton*>(QStringLiteral("printRange"));
        auto* fromBox = dialog->findChild<QSpinBox*>(QStringLiteral("from"));
        auto* toBox = dialog->findChild<QSpinBox*>(QStringLiteral("to"));
        if (!range || !fromBox || !toBox || !range->isEnabled()) {
            ADD_FAILURE() << "the dialog offers no page range";
        } else {
            range->setChecked(true);
            toBox->setValue(to);
            fromBox->setValue(from);
        }
        PrintToPdf(pdfPath)(dialog);
    };
}

int ValidLines(const QString& pdfPath)
{
    return int(RunTool(QStringLiteral("pdftotext"), {pdfPath, QStringLiteral("-")}).count(QStringLiteral("Valid:")));
}

TEST_F(MainWindowTest, APageRangeReprintsExactlyThoseSheetsOfTheFullRun)
{
    struct Case {
        int from, to;
        std::vector<int> sheets;
    };
    const Case cases[] = {{2, 2, {2}}, {1, 2, {1, 2}}, {3, 3, {3}}};
    AddRow("07", QDate(2026, 3, 4), "12");  // three sheets of 2 x 2
    SetSheet("2", "2");
    for (const Case& c : cases) {
        SCOPED_TRACE("pages " + std::to_string(c.from) + " to " + std::to_string(c.to));
        QTemporaryDir dir;
        const QString pdf = dir.filePath("range.pdf");
        ModalScript script;
        script.Expect("printDialog", PrintPagesToPdf(pdf, c.from, c.to));
        Click("btnPrint");
        EXPECT_TRUE(script.Unexpected().isEmpty()) << Joined(script.Unexpected());
        ASSERT_EQ(PdfPageCount(pdf), int(c.sheets.size()));
        for (std::size_t page = 0; page < c.sheets.size(); ++page) {
            QStringList expected = ExpectedBarcodes(window->passList().EntryRow(1), (c.sheets[page] - 1) * 4, 4);
            expected.sort();
            EXPECT_EQ(Joined(ScanPdfPage(pdf, int(page) + 1, dir.path())), Joined(expected)) << "page " << page + 1;
        }
    }
}

TEST_F(MainWindowTest, PassesThatWouldShareABarcodeAreQuestionedFirst)
{
    struct Case {
        const char* what;
        const char* laneB;
        int secondsApart;
        QMessageBox::StandardButton answer;  // NoButton: no question expected
        const char* question;
        int passesPrinted;                   // -1: no document at all
    };
    const Case cases[] = {
        {"same lane, answered No", "03", 0, QMessageBox::No,
         "2 passes of this run would carry the same barcode as another pass (rows 1 and 2, lane 03). Print anyway?",
         -1},
        {"same lane, answered Yes", "03", 0, QMessageBox::Yes,
         "2 passes of this run would carry the same barcode as another pass (rows 1 and 2, lane 03). Print anyway?", 5},
        {"different lanes", "04", 0, QMessageBox::NoButton, "", 5},
    };
    SetSheet("2", "2");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Rows added a moment apart share their stamp unless the clock's two-second
        // step falls between them; try again then.
        for (int attempt = 0; attempt < 5; ++attempt) {
            Click("btnClear");
            AddRow("03", QDate(2026, 3, 4), "3");
            AddRow(c.laneB, QDate(2026, 3, 4), "2");
            if (window->passList().EntryRow(1).validOnStamp == window->passList().EntryRow(2).validOnStamp)
                break;
        }
        ASSERT_EQ(window->passList().EntryRow(1).validOnStamp, window->passList().EntryRow(2).validOnStamp);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("shared.pdf");
        QString question;
        ModalScript script;
        script.Expect("printDialog", PrintToPdf(pdf));
        if (c.answer != QMessageBox::NoButton)
            script.Expect("duplicateQuestion", Answer(c.answer, &question));
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
        EXPECT_EQ(question, QString::fromLatin1(c.question));
        EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
        if (c.passesPrinted < 0) {
            EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "no document, not even a file begun";
        } else {
            EXPECT_EQ(PdfPageCount(pdf), 2);
            EXPECT_EQ(ValidLines(pdf), c.passesPrinted);
        }
    }
}

TEST_F(MainWindowTest, BarcodesThatReadOnlyInPartPrintOnlyWhenTheOperatorSaysSo)
{
    struct Case {
        QMessageBox::StandardButton answer;
        int passesPrinted;  // -1: no document at all
    };
    const Case cases[] = {{QMessageBox::No, -1}, {QMessageBox::Yes, 10}};
    // Heading bands twice the usual size cover part of every pass's bars.
    SetSheet("3", "4");
    SetText("txtLeftMargin", "0.25");
    SetText("txtTop", "0.5");
    SetText("txtFontSize", "2");
    const char* headings[] = {"BOWLING LANES", "Shoe rental", "included", "", "Keep this pass"};
    for (int n = 0; n < 5; ++n)
        SetText(("ebxLine" + std::to_string(n + 1)).c_str(), QString::fromLatin1(headings[n]));
    AddRow("03", QDate(2026, 3, 4), "10");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer == QMessageBox::Yes ? "Yes" : "No");
        QTemporaryDir dir;
        const QString pdf = dir.filePath("partly.pdf");
        QString question;
        ModalScript script;
        script.Expect("printDialog", PrintToPdf(pdf));
        script.Expect("partlyReadQuestion", Answer(c.answer, &question));
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
        EXPECT_TRUE(question.endsWith(QStringLiteral("read only in part on the sheet: a heading or another pass "
                                                     "covers some of the bars. Print anyway?")))
            << question.toStdString();
        if (c.passesPrinted < 0) {
            EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "nothing written, not even the run's own file";
        } else {
            EXPECT_EQ(ValidLines(pdf), c.passesPrinted);
        }
    }
}

TEST_F(MainWindowTest, NumbersThatAreNotNumbersNeverPrintABlankSheetAsSuccess)
{
    struct Case {
        const char* field;
        const char* text;
        bool invalid;  // the invalid-value message; otherwise the box reads as its default
    };
    const Case cases[] = {
        {"txtLeftMargin", "inf", false}, {"txtLeftMargin", "nan", false}, {"txtLeftMargin", "1e10", true},
        {"txtTop", "-inf", false},       {"txtTop", "1e10", true},        {"txtFontSize", "nan", false},
        {"txtFontSize", "1e10", true},
    };
    AddRow("02", QDate(2026, 3, 4), "2");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = " + c.text);
        SetSheet("2", "2");
        SetText(c.field, QString::fromLatin1(c.text));
        QTemporaryDir dir;
        const QString pdf = dir.filePath("numbers.pdf");
        QString message;
        ModalScript script;
        script.Expect("printDialog", PrintToPdf(pdf));
        if (c.invalid)
            script.Expect("messageBox", AcceptMessage(&message));
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
        ASSERT_EQ(PdfPageCount(pdf), 1);
        if (c.invalid) {
            EXPECT_EQ(message, QStringLiteral("Invalid value, fix and retry..."));
            EXPECT_EQ(ValidLines(pdf), 0);
        } else {
            QStringList expected = ExpectedBarcodes(window->passList().EntryRow(1), 0, 2);
            expected.sort();
            EXPECT_EQ(Joined(ScanPdfPage(pdf, 1, dir.path())), Joined(expected));
        }
    }
}

}  // namespace
