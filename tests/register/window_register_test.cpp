// Through the window with the register on: a second run of the same passes is
// asked about (No sends nothing, Yes prints and records a re-issue), and a page
// range that repeats one sheet is asked about exactly that sheet's passes;
// copies are asked about and recorded with the run.
#include "support/answer_question.h"
#include "support/main_window_fixture.h"
#include "support/printed_pdf.h"
#include "support/batch_tool.h"
#include "passes/valid_on_stamp.h"
#include "support/scoped_env.h"
#include "support/tools.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {


ModalScript::Action PrintPagesToPdf(const QString& pdfPath, int from, int to)
{
    return [pdfPath, from, to](QWidget* dialog) {
        dialog->findChild<QRadioButton*>(QStringLiteral("printRange"))->setChecked(true);
        dialog->findChild<QSpinBox*>(QStringLiteral("to"))->setValue(to);
        dialog->findChild<QSpinBox*>(QStringLiteral("from"))->setValue(from);
        PrintToPdf(pdfPath)(dialog);
    };
}

// "<count> passes of this run were printed before (first on Dec 09 2026 10:15 by the run to PDF). Print them again?"
QRegularExpression QuestionFor(int count)
{
    return QRegularExpression(QStringLiteral("^%1 passes of this run were printed before \\(first on [A-Z][a-z]{2} "
                                             "\\d\\d \\d{4} \\d\\d:\\d\\d by the run to PDF\\)\\. Print them again\\?$")
                                  .arg(count));
}

// tessary-register's answer for one barcode: its issued and re-issued lines.
QStringList FoundStates(const QString& barcode)
{
    QProcess tool;
    tool.start(QStringLiteral(TESSARY_REGISTER_EXE), {QStringLiteral("find"), barcode});
    tool.waitForFinished(60000);
    QStringList states;
    const QStringList lines = QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("  ")))
            states << line.simplified().section(QLatin1Char(' '), 0, 0);
    }
    return states;
}

class WindowRegisterTest : public MainWindowTest {
protected:
    QTemporaryDir dir;
    ScopedEnv registerOn{"TESSARY_REGISTER", dir.filePath("passes.sqlite")};

    // Prints with the script's answers; returns the question asked, if any.
    QString Print(const ModalScript::Action& printDialog, QMessageBox::StandardButton answer)
    {
        QString question;
        ModalScript script;
        script.Expect("printDialog", printDialog);
        if (answer != QMessageBox::NoButton)
            script.Expect("reprintQuestion", Answer(answer, &question));
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
        return question;
    }
};

TEST_F(WindowRegisterTest, TheSameRowPrintedTwiceIsAskedAboutFirst)
{
    AddRow("07", QDate(2026, 3, 4), "4");
    SetSheet("2", "2");
    const QString barcode = ExpectedBarcodes(window->passList().EntryRow(1), 0, 1).constFirst();
    EXPECT_EQ(Print(PrintToPdf(dir.filePath("first.pdf")), QMessageBox::NoButton), QString());
    EXPECT_EQ(PdfPageCount(dir.filePath("first.pdf")), 1);

    const QString refused = Print(PrintToPdf(dir.filePath("refused.pdf")), QMessageBox::No);
    EXPECT_TRUE(QuestionFor(4).match(refused).hasMatch()) << refused.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("refused.pdf")));
    EXPECT_EQ(FoundStates(barcode), QStringList{"issued"});

    const QString allowed = Print(PrintToPdf(dir.filePath("again.pdf")), QMessageBox::Yes);
    EXPECT_EQ(allowed, refused);
    EXPECT_EQ(PdfPageCount(dir.filePath("again.pdf")), 1);
    EXPECT_EQ(FoundStates(barcode), (QStringList{"issued", "re-issued"}));
}

TEST_F(WindowRegisterTest, APageRangeRepeatingOneSheetAsksAboutThatSheetAlone)
{
    AddRow("07", QDate(2026, 3, 4), "12");  // three sheets of 2 x 2
    SetSheet("2", "2");
    const QStringList barcodes = ExpectedBarcodes(window->passList().EntryRow(1), 0, 12);
    Print(PrintPagesToPdf(dir.filePath("sheets-1-2.pdf"), 1, 2), QMessageBox::NoButton);
    ASSERT_EQ(PdfPageCount(dir.filePath("sheets-1-2.pdf")), 2);

    const QString question = Print(PrintPagesToPdf(dir.filePath("sheets-2-3.pdf"), 2, 3), QMessageBox::Yes);
    EXPECT_TRUE(QuestionFor(4).match(question).hasMatch()) << question.toStdString();
    EXPECT_EQ(PdfPageCount(dir.filePath("sheets-2-3.pdf")), 2);
    EXPECT_EQ(FoundStates(barcodes[3]), QStringList{"issued"});                   // sheet 1
    EXPECT_EQ(FoundStates(barcodes[4]), (QStringList{"issued", "re-issued"}));  // sheet 2
    EXPECT_EQ(FoundStates(barcodes[8]), QStringList{"issued"});                   // sheet 3
}

// Another desk prints some of the run's passes while the operator reads the
// question: Yes covers only what was asked, so the run asks again about those.
TEST_F(WindowRegisterTest, PassesTakenWhileTheQuestionIsOpenAreAskedAboutAgain)
{
    AddRow("07", QDate(2026, 3, 4), "8");  // two sheets of 2 x 2
    SetSheet("2", "2");
    Print(PrintPagesToPdf(dir.filePath("sheet-1.pdf"), 1, 1), QMessageBox::NoButton);

    const CalendarInstant instant = DecodeValidOnStamp(window->passList().EntryRow(1).validOnStamp);
    const QString label = dir.filePath("passes.lbl");
    WriteLabelFile(label, 2, 2);
    const QStringList otherDesk = {"--label", label, "--row",
                                   QStringLiteral("07,2026-03-04T%1:%2:%3,8")
                                       .arg(instant.hour, 2, 10, QLatin1Char('0'))
                                       .arg(instant.minute, 2, 10, QLatin1Char('0'))
                                       .arg(instant.second, 2, 10, QLatin1Char('0')),
                                   "--pages", "2", "--pdf", dir.filePath("other-desk.pdf"), "--quiet"};
    QString first;
    QString second;
    ModalScript script;
    script.Expect("printDialog", PrintToPdf(dir.filePath("whole.pdf")));
    script.Expect("reprintQuestion", [&](QWidget* dialog) {
        const ToolRun other = RunTessaryPrint(otherDesk, QProcessEnvironment::systemEnvironment());
        EXPECT_EQ(other.status, 0) << other.err.toStdString();
        Answer(QMessageBox::Yes, &first)(dialog);
    });
    script.Expect("reprintQuestion", Answer(QMessageBox::No, &second));
    Click("btnPrint");
    ExpectEveryDialogAnswered(script);
    EXPECT_TRUE(QuestionFor(4).match(first).hasMatch()) << first.toStdString();
    EXPECT_TRUE(QuestionFor(8).match(second).hasMatch()) << second.toStdString();  // all that are taken now
    EXPECT_FALSE(QFile::exists(dir.filePath("whole.pdf")));
    const QStringList barcodes = ExpectedBarcodes(window->passList().EntryRow(1), 0, 8);
    EXPECT_EQ(FoundStates(barcodes[0]), QStringList{"issued"});
    EXPECT_EQ(FoundStates(barcodes[7]), QStringList{"issued"});
}

// Copies carry every barcode again: asked (default No), No sends nothing and
// records nothing, Yes prints them all and the register says how many went;
// the next dialog opens on one copy again.
TEST_F(WindowRegisterTest, CopiesAreAskedAboutAndRecordedWithTheRun)
{
    AddRow("07", QDate(2026, 3, 4), "4");  // one sheet of 2 x 2
    SetSheet("2", "2");
    const QString barcode = ExpectedBarcodes(window->passList().EntryRow(1), 0, 1).constFirst();
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        const QString pdf = dir.filePath(answer == QMessageBox::Yes ? "yes.pdf" : "no.pdf");
        int copiesOffered = 0;
        QString question;
        ModalScript script;
        script.Expect("printDialog", [&](QWidget* dialog) {
            auto* copies = dialog->findChild<QSpinBox*>(QStringLiteral("copies"));
            copiesOffered = copies->value();
            copies->setValue(3);
            PrintToPdf(pdf)(dialog);
        });
        script.Expect("copiesQuestion", Answer(answer, &question));
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
        EXPECT_EQ(copiesOffered, 1);
        EXPECT_EQ(question, QStringLiteral("3 copies would print every barcode of this run 3 times. Print anyway?"));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("no.pdf")));
    EXPECT_EQ(PdfPageCount(dir.filePath("yes.pdf")), 3);
    QProcess tool;
    tool.start(QStringLiteral(TESSARY_REGISTER_EXE), {QStringLiteral("find"), barcode});
    tool.waitForFinished(60000);
    const QString found = QString::fromUtf8(tool.readAllStandardOutput());
    EXPECT_EQ(found.count(QStringLiteral("issued")), 1) << found.toStdString();
    EXPECT_TRUE(found.contains(QStringLiteral(", 3 copies"))) << found.toStdString();
}

}  // namespace
