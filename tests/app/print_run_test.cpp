// Print runs through the real print dialog into Qt's PDF writer, checked the
// way a reader would: pages counted and barcodes scanned.
#include "support/main_window_fixture.h"
#include "support/during_run.h"
#include "support/printed_pdf.h"
#include "support/tools.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The run draws into an unnamed file of its own beside the one chosen.
std::function<bool()> DocumentBegunBeside(const QString& pdfPath)
{
    return [pdfPath] { return HoldsUnnamedFileIn(QCoreApplication::applicationPid(), QFileInfo(pdfPath).path()); };
}



struct SheetRun {
    const char* quantity;
    const char* cols;
    const char* rows;
    int sheets;
};

// The dialog offers the sheets the run will print.
const SheetRun kSheetRuns[] = {
    {"8", "2", "2", 2},
    {"5", "2", "2", 2},
    {"3", "1", "3", 1},
};

TEST_F(MainWindowTest, EveryPassOfTheRunIsPrintedAndScans)
{
    for (const SheetRun& run : kSheetRuns) {
        SCOPED_TRACE(std::string(run.quantity) + " passes on " + run.cols + " x " + run.rows);
        QTemporaryDir dir;
        Click("btnClear");
        AddRow("07", QDate(2026, 3, 4), run.quantity);
        SetSheet(run.cols, run.rows);
        ModalScript script;
        int maxPage = -1;
        PrintTo(dir.filePath("run.pdf"), script, &maxPage);
        ExpectEveryDialogAnswered(script);
        EXPECT_EQ(maxPage, run.sheets);
        EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
        ASSERT_EQ(PdfPageCount(dir.filePath("run.pdf")), run.sheets);

        const int perSheet = QString(run.cols).toInt() * QString(run.rows).toInt();
        const int quantity = QString(run.quantity).toInt();
        for (int sheet = 1; sheet <= run.sheets; ++sheet) {
            const int first = (sheet - 1) * perSheet;
            QStringList expected = ExpectedBarcodes(window->passList().EntryRow(1), first,
                                                    std::min(perSheet, quantity - first));
            expected.sort();
            EXPECT_EQ(Joined(ScanPdfPage(dir.filePath("run.pdf"), sheet, dir.path())), Joined(expected))
                << "sheet " << sheet;
        }
        // A scanner that shares nothing with the program reads the same passes.
        QStringList everyPass = ExpectedBarcodes(window->passList().EntryRow(1), 0, quantity);
        everyPass.sort();
        QStringList read = ZbarPdfBarcodes(dir.filePath("run.pdf"), dir.path());
        read.sort();
        EXPECT_EQ(Joined(read), Joined(everyPass));
    }
}

TEST_F(MainWindowTest, CancelInThePrintDialogPrintsNothing)
{
    QTemporaryDir dir;
    AddRow("01", QDate(2026, 3, 4), "8");
    SetSheet("2", "2");
    const QString pdf = dir.filePath("cancelled.pdf");
    ModalScript script;
    script.Expect("printDialog", [&](QWidget* dialog) {
        EXPECT_EQ(PrintCaption(), QStringLiteral("&Abort")) << "the run is in progress while the dialog is open";
        // A file chosen and then taken back by Cancel.
        if (auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
            fileName->setText(pdf);
        RejectDialog()(dialog);
    });
    Click("btnPrint");
    ExpectEveryDialogAnswered(script);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
}

struct UnusableLayout {
    const char* cols;
    const char* rows;
    bool withRow;
};

const UnusableLayout kUnusableLayouts[] = {
    {"0", "2", true},
    {"", "2", true},
    {"2", "0", true},
    {"-3", "2", true},
    {"2", "2", false},
};

TEST_F(MainWindowTest, UnusableSettingsShowTheMessageAndEndAnEmptyDocument)
{
    for (const UnusableLayout& layout : kUnusableLayouts) {
        SCOPED_TRACE(std::string("cols '") + layout.cols + "', rows '" + layout.rows + "'" +
                     (layout.withRow ? "" : ", no entry row"));
        QTemporaryDir dir;
        Click("btnClear");
        if (layout.withRow)
            AddRow("02", QDate(2026, 3, 4), "4");
        SetSheet(layout.cols, layout.rows);
        const QString pdf = dir.filePath("invalid.pdf");
        QString message;
        int maxPage = -1;
        ModalScript script;
        script.Expect("printDialog", PrintToPdf(pdf, &maxPage)).Expect("messageBox", AcceptMessage(&message));
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
        EXPECT_EQ(message, QStringLiteral("Invalid value, fix and retry..."));
        EXPECT_EQ(maxPage, 1) << "no sheet to print; the dialog still needs one page";
        EXPECT_EQ(PdfPageCount(pdf), 1);
        EXPECT_TRUE(ScanPdfPage(pdf, 1, dir.path()).isEmpty());
        EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
    }
}

TEST_F(MainWindowTest, AbortAtTheFirstPageChangeKeepsTheFullSheetAndAnEmptyOne)
{
    QTemporaryDir dir;
    AddRow("05", QDate(2026, 5, 17), "12");
    SetSheet("2", "2");
    const QString pdf = dir.filePath("stopped.pdf");
    ModalScript script;
    QString captionSeen;
    DuringRun abort(*Find<QPushButton>("btnPrint"), DocumentBegunBeside(pdf), [&] {
        QTest::mouseClick(Find<QPushButton>("btnPrint"), Qt::LeftButton);
        captionSeen = PrintCaption();
    });
    PrintTo(pdf, script);
    EXPECT_EQ(abort.fired, 1);
    EXPECT_EQ(captionSeen, QStringLiteral("&Abort")) << "a click during the run only asks it to stop";
    EXPECT_TRUE(window->AbortRequested());
    EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
    ASSERT_EQ(PdfPageCount(pdf), 2);
    QStringList firstSheet = ExpectedBarcodes(window->passList().EntryRow(1), 0, 4);
    firstSheet.sort();
    EXPECT_EQ(Joined(ScanPdfPage(pdf, 1, dir.path())), Joined(firstSheet));
    EXPECT_EQ(Joined(ScanPdfPage(pdf, 2, dir.path())), "");

    // The next run starts afresh and prints every sheet.
    const QString again = dir.filePath("again.pdf");
    ModalScript second;
    PrintTo(again, second);
    EXPECT_FALSE(window->AbortRequested());
    EXPECT_EQ(PdfPageCount(again), 3);
}

TEST_F(MainWindowTest, ARowThatCannotBeNumberedStopsTheRunBeforeTheDocument)
{
    QTemporaryDir dir;
    AddRow("03", QDate(1979, 6, 1), "2");
    SetSheet("2", "2");
    const QString pdf = dir.filePath("undated.pdf");
    QString error;
    ModalScript script;
    script.Expect("printDialog", PrintToPdf(pdf)).Expect("errorBox", AcceptMessage(&error));
    Click("btnPrint");
    ExpectEveryDialogAnswered(script);
    EXPECT_EQ(error, QStringLiteral("Invalid argument to date encode."));
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));

    Click("btnClear");
    AddRow("03", QDate(2026, 6, 1), "2");
    const QString next = dir.filePath("next.pdf");
    ModalScript retry;
    PrintTo(next, retry);
    EXPECT_TRUE(retry.Unexpected().isEmpty()) << Joined(retry.Unexpected());
    EXPECT_EQ(PdfPageCount(next), 1);
    QStringList expected = ExpectedBarcodes(window->passList().EntryRow(1), 0, 2);
    expected.sort();
    EXPECT_EQ(Joined(ScanPdfPage(next, 1, dir.path())), Joined(expected));
}

TEST_F(MainWindowTest, ABarcodeCoveredOnTheSheetStopsTheRunWithNoFile)
{
    QTemporaryDir dir;
    AddRow("03", QDate(2026, 6, 1), "10");
    SetSheet("2", "5");
    SetText("ebxLine3", QStringLiteral("Admit one"));
    SetText("txtFontSize", QStringLiteral("7"));
    const QString pdf = dir.filePath("covered.pdf");
    QString error;
    ModalScript script;
    script.Expect("printDialog", PrintToPdf(pdf)).Expect("errorBox", AcceptMessage(&error));
    Click("btnPrint");
    ExpectEveryDialogAnswered(script);
    EXPECT_EQ(error, QStringLiteral("The barcode of pass %1 cannot be read on the sheet (covered, cut or off the "
                                    "page). Fix the layout and retry.")
                         .arg(ExpectedBarcodes(window->passList().EntryRow(1), 0, 1).value(0).left(8)));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
}

TEST_F(MainWindowTest, ClosingDuringARunStopsItAndClosesWhenItHasEnded)
{
    QTemporaryDir dir;
    AddRow("09", QDate(2026, 8, 9), "12");
    SetSheet("2", "2");
    const QString pdf = dir.filePath("closed.pdf");
    bool visibleAfterClose = false;
    ModalScript script;
    DuringRun close(*Find<QPushButton>("btnPrint"), DocumentBegunBeside(pdf), [&] {
        window->close();
        visibleAfterClose = window->isVisible();
    });
    PrintTo(pdf, script);
    EXPECT_EQ(close.fired, 1);
    EXPECT_TRUE(visibleAfterClose) << "the window waits for the run to end";
    EXPECT_EQ(PdfPageCount(pdf), 2) << "the run stopped at the page change";
    for (int waitedMs = 0; window->isVisible() && waitedMs < 2000; waitedMs += 10)
        QTest::qWait(10);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
}

}  // namespace
