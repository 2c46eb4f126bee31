// Printer correction... on the Passes tab: the readings of a calibration
// sheet entered, the correction kept for the output chosen, and the preview
// showing the cells where the output will now put them.
#include "app/main_window_fixture.h"
#include "app/preview_pages.h"
#include "preview/run_preview.h"
#include "render/printer_correction.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void ClickLater(QWidget* parent, const char* button)
{
    QTimer::singleShot(0, parent->findChild<QPushButton*>(QLatin1String(button)), &QPushButton::click);
}

TEST_F(MainWindowTest, ReadingsEnteredMoveThePreviewedCellsOfThatOutput)
{
    QTemporaryDir dir;
    AddRow("04", QDate(2026, 9, 30), "2");
    SetSheet("2", "2");
    const QString previewed = dir.filePath("previewed.pdf");
    QWidget* printDialog = nullptr;
    int pages = -1;
    ModalScript script;
    script
        .Expect("printDialog",
                [&](QWidget* dialog) {
                    printDialog = dialog;
                    ChoosePdfOutput(dialog, dir.filePath("printed.pdf"));
                    dialog->findChild<QCheckBox*>(QStringLiteral("chkOutlineCells"))->setChecked(true);
                    ClickLater(dialog, "btnPrinterCorrection");
                })
        .Expect("printerCorrectionDialog",
                [&](QWidget* dialog) {
                    // The stock's cut lines 0.1 in further down both left rulers than
                    // the layout has them: the output prints 0.1 in high.
                    for (const char* name : {"spnFirstY", "spnLastY"}) {
                        auto* reading = dialog->findChild<QDoubleSpinBox*>(QLatin1String(name));
                        reading->setValue(reading->value() + 0.1);
                    }
                    dialog->findChild<QPushButton*>(QStringLiteral("btnWorkOut"))->click();
                    qobject_cast<QDialog*>(dialog)->accept();
                    ClickLater(printDialog, "btnPreview");
                })
        .Expect("runPreview", [&](QWidget* preview) {
            pages = WritePreviewPages(*qobject_cast<RunPreview*>(preview), previewed);
            qobject_cast<QDialog*>(preview)->reject();
            QTimer::singleShot(0, printDialog, [printDialog] { qobject_cast<QDialog*>(printDialog)->reject(); });
        });
    Click("btnPrint");
    EXPECT_EQ(script.Pending(), 0);
    EXPECT_EQ(CorrectionText(StoredCorrection(kPrintToFileCorrectionKey)), "0.000,0.100,100.00,100.00");
    ASSERT_EQ(pages, 1);
    // The first cell's top edge, 0.4 in down as laid out, now 0.5 in.
    const QImage page = RenderPdfPage(previewed, 1, 150, dir.path());
    EXPECT_GE(qGray(page.pixel(300, 60)), 128);
    EXPECT_LT(qGray(page.pixel(300, 75)), 128);
    StoreCorrection(kPrintToFileCorrectionKey, {});
}

}  // namespace
