// The print dialog's Passes tab through the real window and dialog: the start
// cell and the page count, the preview against the printed run, and what the
// preview does when the run could not print.
#include "support/main_window_fixture.h"
#include "app/preview_pages.h"
#include "support/printed_pdf.h"
#include "preview/run_preview.h"
#include "support/tools.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

namespace {


QSpinBox* StartCellBox(QWidget* dialog) { return dialog->findChild<QSpinBox*>(QStringLiteral("spnStartCell")); }
QCheckBox* OutlineBox(QWidget* dialog) { return dialog->findChild<QCheckBox*>(QStringLiteral("chkOutlineCells")); }

// Clicks Preview once the script's action has returned, as a click would arrive.
void ClickPreviewLater(QWidget* dialog)
{
    QTimer::singleShot(0, dialog->findChild<QPushButton*>(QStringLiteral("btnPreview")), &QPushButton::click);
}

// "Pages from ... to ..." in Qt's own Options tab.
void ChoosePageRange(QWidget* dialog, int from, int to)
{
    dialog->findChild<QRadioButton*>(QStringLiteral("printRange"))->setChecked(true);
    dialog->findChild<QSpinBox*>(QStringLiteral("from"))->setValue(from);
    dialog->findChild<QSpinBox*>(QStringLiteral("to"))->setValue(to);
}

// The barcodes zbarimg reads inside one rectangle of a rendered page.
QStringList ScanRegion(const QImage& page, const QRect& regionPx, const QString& workDir, const QString& name)
{
    const QString path = QDir(workDir).filePath(name + QStringLiteral(".png"));
    page.copy(regionPx).save(path);
    QStringList found = RunTool(QStringLiteral("zbarimg"), {"--quiet", "--raw", "-Scode128.enable", path})
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& text : found)
        text = text.trimmed();
    found.sort();
    return found;
}

TEST_F(MainWindowTest, StartOnCellFourFillsTheRestOfAPartlyUsedSheet)
{
    QTemporaryDir dir;
    AddRow("06", QDate(2026, 7, 1), "10");
    SetSheet("2", "2");
    const QString pdf = dir.filePath("start4.pdf");
    int maxPage = -1, toMaximum = -1, toValue = -1, cellsOffered = -1;
    ModalScript script;
    script.Expect("printDialog", [&](QWidget* dialog) {
        cellsOffered = StartCellBox(dialog)->maximum();
        StartCellBox(dialog)->setValue(4);
        const auto* to = dialog->findChild<QSpinBox*>(QStringLiteral("to"));
        toMaximum = to->maximum();
        toValue = to->value();
        PrintToPdf(pdf, &maxPage)(dialog);
    });
    Click("btnPrint");
    ExpectEveryDialogAnswered(script);
    EXPECT_EQ(cellsOffered, 4);
    EXPECT_EQ(maxPage, 4);
    EXPECT_EQ(toMaximum, 4) << "the dialog's To box follows the start cell while it is open";
    EXPECT_EQ(toValue, 4);
    ASSERT_EQ(PdfPageCount(pdf), 4);

    const PassListRow row = window->passList().EntryRow(1);
    const QStringList sheets[] = {ExpectedBarcodes(row, 0, 1), ExpectedBarcodes(row, 1, 4),
                                  ExpectedBarcodes(row, 5, 4), ExpectedBarcodes(row, 9, 1)};
    for (int sheet = 1; sheet <= 4; ++sheet) {
        QStringList expected = sheets[sheet - 1];
        expected.sort();
        EXPECT_EQ(Joined(ScanPdfPage(pdf, sheet, dir.path())), Joined(expected)) << "sheet " << sheet;
    }
    // Sheet 1: cells across each row from the top; only the fourth, bottom right, is used.
    const QImage first = RenderPdfPage(pdf, 1, 300, dir.path());
    const QRect cells[] = {{75, 120, 1200, 1500}, {1275, 120, 1200, 1500}, {75, 1620, 1200, 1500},
                           {1275, 1620, 1200, 1500}};
    for (int cell = 0; cell < 4; ++cell) {
        const QStringList expected = cell == 3 ? ExpectedBarcodes(row, 0, 1) : QStringList();
        EXPECT_EQ(Joined(ScanRegion(first, cells[cell], dir.path(), QStringLiteral("cell%1").arg(cell + 1))),
                  Joined(expected))
            << "cell " << cell + 1;
    }
}

struct PreviewedRun {
    const char* what;
    int startCell;
    bool outline;
    int from, to;  // 0: all sheets
    int pages;
};

const PreviewedRun kPreviewedRuns[] = {
    {"start cell 3, outlined, all sheets", 3, true, 0, 0, 3},
    {"sheets 2 to 3", 1, false, 2, 3, 2},
    {"start cell 2, outlined, sheet 3 only", 2, true, 3, 3, 1},
};

TEST_F(MainWindowTest, PreviewShowsExactlyTheSheetsItsPrintButtonPrints)
{
    for (const PreviewedRun& run : kPreviewedRuns) {
        SCOPED_TRACE(run.what);
        QTemporaryDir dir;
        Click("btnClear");
        AddRow("04", QDate(2026, 9, 30), "9");
        SetSheet("2", "2");
        const QString printed = dir.filePath("printed.pdf");
        const QString previewed = dir.filePath("previewed.pdf");
        int previewPages = -1;
        QDir(dir.path()).mkdir(QStringLiteral("p"));
        ModalScript script;
        script
            .Expect("printDialog",
                    [&](QWidget* dialog) {
                        ChoosePdfOutput(dialog, printed);
                        StartCellBox(dialog)->setValue(run.startCell);
                        OutlineBox(dialog)->setChecked(run.outline);
                        if (run.from > 0)
                            ChoosePageRange(dialog, run.from, run.to);
                        ClickPreviewLater(dialog);
                    })
            .Expect("runPreview", [&](QWidget* preview) {
                previewPages = WritePreviewPages(*qobject_cast<RunPreview*>(preview), previewed);
                preview->findChild<QPushButton*>(QStringLiteral("btnPrintRun"))->click();
            });
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
        EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
        ASSERT_EQ(previewPages, run.pages);
        ASSERT_EQ(PdfPageCount(printed), run.pages);
        for (int page = 1; page <= run.pages; ++page) {
            SCOPED_TRACE("page " + std::to_string(page));
            const QImage fromRun = RenderPdfPage(printed, page, 150, dir.path());
            ASSERT_EQ(fromRun.size(), QSize(1275, 1650));
            const PageDifference difference =
                ComparePages(RenderPdfPage(previewed, page, 150, dir.path() + QStringLiteral("/p")), fromRun);
            // One pass alone is about 20,000 dark pixels at 150 dpi, its barcode varying.
            EXPECT_GT(difference.dark, 10000) << "the page holds passes";
            EXPECT_EQ(difference.unmatched, 0);
            // Moving the page by one pixel differs in about a quarter of its dark pixels.
            EXPECT_LT(difference.differing * 20, difference.dark) << difference.differing << " differing";
            // The top edge of the first cell, 0.4 in down, where no pass draws.
            EXPECT_EQ(qGray(fromRun.pixel(300, 60)) < 128, run.outline);
        }
    }
}

TEST_F(MainWindowTest, ClosingThePreviewReturnsToTheDialogAndNothingOutlivesTheRun)
{
    QTemporaryDir dir;
    AddRow("02", QDate(2026, 5, 5), "6");
    SetSheet("2", "2");
    const QString pdf = dir.filePath("never.pdf");
    QString shown;
    int startCellAfterPreview = -1;
    ModalScript script;
    script
        .Expect("printDialog",
                [&](QWidget* dialog) {
                    ChoosePdfOutput(dialog, pdf);
                    StartCellBox(dialog)->setValue(2);
                    OutlineBox(dialog)->setChecked(true);
                    ClickPreviewLater(dialog);
                })
        .Expect("runPreview",
                [&](QWidget* preview) {
                    shown = qobject_cast<RunPreview*>(preview)->PositionText();
                    preview->findChild<QPushButton*>(QStringLiteral("btnClosePreview"))->click();
                })
        .Expect("printDialog", [&](QWidget* dialog) {
            startCellAfterPreview = StartCellBox(dialog)->value();
            RejectDialog()(dialog);
        });
    Click("btnPrint");
    ExpectEveryDialogAnswered(script);
    EXPECT_EQ(shown, QStringLiteral("Sheet 1 of 2"));
    EXPECT_EQ(startCellAfterPreview, 2) << "the dialog is as the operator left it";
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));

    // The next run's dialog starts afresh.
    int startCell = -1;
    bool outlined = true;
    ModalScript next;
    next.Expect("printDialog", [&](QWidget* dialog) {
        startCell = StartCellBox(dialog)->value();
        outlined = OutlineBox(dialog)->isChecked();
        RejectDialog()(dialog);
    });
    Click("btnPrint");
    EXPECT_EQ(next.Pending(), 0);
    EXPECT_EQ(startCell, 1);
    EXPECT_FALSE(outlined);
}

struct RunThatCannotPrint {
    const char* what;
    const char* cols;
    QDate validOn;
    const char* dialog;
    const char* message;
};

const RunThatCannotPrint kRunsThatCannotPrint[] = {
    {"no passes across", "0", QDate(2026, 5, 5), "messageBox", "Invalid value, fix and retry..."},
    {"a row that cannot be numbered", "2", QDate(1979, 6, 1), "errorBox", "Invalid argument to date encode."},
};

TEST_F(MainWindowTest, PreviewOfARunThatCannotPrintSaysWhyAndReturnsToTheDialog)
{
    for (const RunThatCannotPrint& run : kRunsThatCannotPrint) {
        SCOPED_TRACE(run.what);
        QTemporaryDir dir;
        Click("btnClear");
        AddRow("05", run.validOn, "3");
        SetSheet(run.cols, "2");
        const QString pdf = dir.filePath("never.pdf");
        QString message;
        ModalScript script;
        script
            .Expect("printDialog",
                    [&](QWidget* dialog) {
                        ChoosePdfOutput(dialog, pdf);
                        ClickPreviewLater(dialog);
                    })
            .Expect(run.dialog, AcceptMessage(&message))
            .Expect("printDialog", RejectDialog());
        Click("btnPrint");
        ExpectEveryDialogAnswered(script);
        EXPECT_EQ(message, QString::fromUtf8(run.message));
        EXPECT_FALSE(QFile::exists(pdf));
        EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
    }
}

}  // namespace
