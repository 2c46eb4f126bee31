// The print dialog of a run, opened without a window: the Passes tab's cells and
// the page count that follows the start cell while the dialog is open.
#include "passes/valid_on_stamp.h"
#include "preview/help_text.h"
#include "preview/passes_tab.h"
#include "preview/run_print_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPageRanges>
#include <QPrinter>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

namespace {

PrintRunRequest Counted(int cols, int rows, int quantity)
{
    PassListRow row;
    row.lane = "01";
    row.validOnStamp = EncodeValidOnStamp(QDate(2026, 3, 1), QTime(12, 0));
    row.quantityText = QString::number(quantity);
    PrintRunRequest request;
    request.settings.cols = cols;
    request.settings.rows = rows;
    request.rows = {row};
    return request;
}

TEST(PassesTab, OffersTheCellsOfOneSheet)
{
    struct Case {
        qint64 cells;
        int last;
        bool choosable;
        const char* label;
    };
    const Case cases[] = {
        {10, 10, true, "of 10"}, {4, 4, true, "of 4"}, {1, 1, false, "of 1"}, {0, 1, false, "of 1"},
        {-6, 1, false, "of 1"},  {3000000000LL, std::numeric_limits<int>::max(), true, "of 2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cells);
        PassesTab tab(c.cells);
        auto* start = tab.findChild<QSpinBox*>("spnStartCell");
        ASSERT_NE(start, nullptr);
        EXPECT_EQ(start->minimum(), 1);
        EXPECT_EQ(start->maximum(), c.last);
        EXPECT_EQ(start->value(), 1);
        EXPECT_EQ(start->isEnabled(), c.choosable);
        EXPECT_EQ(tab.findChild<QLabel*>("lblCellCount")->text(), c.label);
        EXPECT_EQ(tab.StartCell(), 1);
        EXPECT_FALSE(tab.OutlineCells());
        EXPECT_EQ(tab.windowTitle(), "Passes");
    }
}

// The help under each choice is ordinary text, clear on a light and a dark
// palette, and what a screen reader says of the choice it explains.
TEST(PassesTab, HelpTextsAreReadableAndDescribeTheirChoices)
{
    EXPECT_NEAR(ContrastRatio(QColor("#767676"), Qt::white), 4.54, 0.01);
    QPalette dark(QColor("#353535"), QColor("#353535"));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor("#2a2a2a"));
    for (const QPalette& palette : {QApplication::palette(), dark}) {
        PassesTab tab(4);
        tab.setPalette(palette);
        const QList<HelpText*> helps = tab.findChildren<HelpText*>();
        const char* const explained[] = {"btnPreview", "chkOutlineCells", "spnStartCell", "btnPrinterCorrection"};
        ASSERT_EQ(helps.size(), 4);
        for (int n = 0; n < 4; ++n) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(helps[n]);
            EXPECT_EQ(face->role(), QAccessible::StaticText);
            EXPECT_FALSE(face->state().disabled);
            const QColor text = helps[n]->palette().color(QPalette::WindowText);
            for (const QPalette::ColorRole background : {QPalette::Window, QPalette::Base}) {
                const QColor behind = palette.color(background);
                EXPECT_GE(ContrastRatio(text, behind), 4.5) << text.name().toStdString() << " on "
                                                            << behind.name().toStdString();
            }
            EXPECT_EQ(tab.findChild<QWidget*>(explained[n])->accessibleDescription(), helps[n]->text());
        }
    }
}

class OpenPrintDialog : public ::testing::Test {
protected:
    void Open(const PrintRunRequest& counted)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        dialog = std::make_unique<RunPrintDialog>(printer, counted, RunPreviewSource{});
        dialog->setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void TearDown() override
    {
        dialog.reset();
        QApplication::processEvents();
    }
    QSpinBox* Box(const char* name) const { return dialog->findChild<QSpinBox*>(QLatin1String(name)); }

    QPrinter printer{QPrinter::HighResolution};
    std::unique_ptr<RunPrintDialog> dialog;
};

// Ten passes on 2 x 2 sheets: three sheets from cell 1, four from cell 4.
TEST_F(OpenPrintDialog, PageFieldsFollowTheStartCellWhileOpen)
{
    Open(Counted(2, 2, 10));
    ASSERT_NE(Box("from"), nullptr);
    ASSERT_NE(Box("to"), nullptr);
    EXPECT_EQ(dialog->maxPage(), 3);
    EXPECT_EQ(Box("to")->value(), 3);

    struct Step {
        int startCell;
        int sheets;
    };
    const Step steps[] = {{4, 4}, {3, 3}, {2, 3}, {4, 4}, {1, 3}};
    for (const Step& step : steps) {
        dialog->passesTab().findChild<QSpinBox*>("spnStartCell")->setValue(step.startCell);
        EXPECT_EQ(dialog->maxPage(), step.sheets) << "start cell " << step.startCell;
        EXPECT_EQ(Box("from")->maximum(), step.sheets) << "start cell " << step.startCell;
        EXPECT_EQ(Box("to")->maximum(), step.sheets) << "start cell " << step.startCell;
        EXPECT_EQ(Box("to")->value(), step.sheets) << "To held the last sheet and goes on holding it";
    }
}

TEST_F(OpenPrintDialog, ALowerToChosenByTheOperatorStays)
{
    Open(Counted(2, 2, 10));
    Box("to")->setValue(2);
    dialog->passesTab().findChild<QSpinBox*>("spnStartCell")->setValue(4);
    EXPECT_EQ(Box("to")->maximum(), 4);
    EXPECT_EQ(Box("to")->value(), 2);
}

TEST_F(OpenPrintDialog, PassesTabStandsBesideQtsOwnTabs)
{
    Open(Counted(2, 5, 3));
    auto* tabs = dialog->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_TRUE(tabs->isVisible()) << "the option tabs are open";
    EXPECT_GE(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(tabs->count() - 1), "Passes");
    EXPECT_EQ(tabs->widget(tabs->count() - 1), &dialog->passesTab());
}

// Typing a folder into the output file box offers its folders and regular
// files at once, and nothing of the kernel's or devices' folders.
TEST_F(OpenPrintDialog, OutputFileBoxCompletesFoldersAndFilesOnly)
{
    QTemporaryDir folder;
    const QString root = folder.path();
    QDir(root).mkdir("sub");
    QFile(root + "/notes.pdf").open(QIODevice::WriteOnly);
    ASSERT_EQ(mkfifo(QFile::encodeName(root + "/pipe").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/proc", root + "/kernel"));
    Open(Counted(2, 2, 10));
    auto* box = dialog->findChild<QLineEdit*>("filename");
    ASSERT_TRUE(box && box->isEnabled());
    const std::pair<QString, QString> cases[] = {
        {"/proc/", ""}, {"/sys/", ""}, {"/dev/", ""}, {"/d", ""}, {"/t", "/tmp/"}, {root + "/kernel/", ""},
        {root + "/", root + "/notes.pdf " + root + "/sub/"}, {root + "/s", root + "/sub/"}};
    for (const auto& [typed, offered] : cases) {
        box->clear();
        QElapsedTimer typing;
        typing.start();
        QTest::keyClicks(box, typed);
        EXPECT_LT(typing.elapsed(), 2000) << typed.toStdString();
        QStringList completions;
        for (int row = 0; box->completer()->setCurrentRow(row); ++row)
            completions << box->completer()->currentCompletion();
        EXPECT_EQ(completions.join(' ').toStdString(), offered.toStdString()) << typed.toStdString();
    }
}

TEST(ChosenSheetRange, ThePageRangeOrEverySheet)
{
    struct Case {
        QPrinter::PrintRange range;
        int from, to;
        SheetRange expected;
    };
    const Case cases[] = {
        {QPrinter::AllPages, 2, 3, {1, std::numeric_limits<int>::max()}},
        {QPrinter::PageRange, 2, 3, {2, 3}},
        {QPrinter::PageRange, 7, 7, {7, 7}},
        {QPrinter::PageRange, 0, 0, {1, std::numeric_limits<int>::max()}},
    };
    for (const Case& c : cases) {
        QPrinter printer;
        printer.setPrintRange(c.range);
        printer.setFromTo(c.from, c.to);
        const SheetRange sheets = ChosenSheetRange(printer);
        EXPECT_EQ(sheets.first, c.expected.first) << c.from << " to " << c.to;
        EXPECT_EQ(sheets.last, c.expected.last) << c.from << " to " << c.to;
    }
    // A list of pages ("1,3-4") prints only the sheets it names.
    QPrinter printer;
    printer.setPrintRange(QPrinter::PageRange);
    QPageRanges pages;
    pages.addPage(1);
    pages.addRange(3, 4);
    printer.setPageRanges(pages);
    const SheetRange sheets = ChosenSheetRange(printer);
    EXPECT_EQ(sheets.first, 1);
    EXPECT_EQ(sheets.last, 4);
    for (const auto& [sheet, printed] : {std::pair{1, true}, {2, false}, {3, true}, {4, true}, {5, false}})
        EXPECT_EQ(sheets.Contains(sheet), printed) << "sheet " << sheet;
}

}  // namespace
