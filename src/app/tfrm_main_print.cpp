// The print run: the Print button, the print dialog and the document.
#include "app/tfrm_main.h"

#include "app/error_box.h"
#include "app/fontpicker/font_combo_box.h"
#include "passes/pass_list.h"
#include "passes/valid_on_stamp.h"
#include "render/barcode/barcode_bitmap_path.h"
#include "render/pass_walk.h"
#include "render/print_document.h"
#include "render/sheet_geometry.h"

#include <QAbstractPrintDialog>
#include <QCheckBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kPrintCaption = QStringLiteral("&Print");
const QString kAbortCaption = QStringLiteral("&Abort");
const QString kInvalidValueMessage = QStringLiteral("Invalid value, fix and retry...");

// The centring box and the font picker, read afresh for every line drawn.
class WindowHeadingStyle : public HeadingStyleSource {
public:
    WindowHeadingStyle(const QCheckBox& centred, const TFontComboBox& font) : centred_(centred), font_(font) {}
    bool Centred() const override { return centred_.isChecked(); }
    QString FaceName() const override { return font_.SelectedFontName(); }

private:
    const QCheckBox& centred_;
    const TFontComboBox& font_;
};

// A row that cannot be numbered would stop the run half way, with sheets already
// sent; find it before the document is begun.
void CheckStampsDecode(const std::vector<PassListRow>& rows)
{
    for (const PassListRow& row : rows) {
        if (row.quantity() >= 1)
            DecodeValidOnStamp(row.validOnStamp);
    }
}

}  // namespace

bool TfrmMain::RunInProgress() const { return btnPrint->text() == kAbortCaption; }

void TfrmMain::btnPrintClick()
{
    if (RunInProgress()) {
        abortRequested_ = true;
        return;
    }
    btnPrint->setText(kAbortCaption);
    struct RestoreCaption {
        TfrmMain& window;
        ~RestoreCaption()
        {
            window.btnPrint->setText(kPrintCaption);
            if (window.closeAfterRun_)
                QTimer::singleShot(0, &window, &QWidget::close);
        }
    } restore{*this};
    PrintPasses();
}

void TfrmMain::PrintPasses()
{
    abortRequested_ = false;
    LayoutSettings settings;
    ReadLayoutCounts(CurrentLayoutTexts(), settings);
    // The run prints a snapshot: rows added or cleared meanwhile do not reach it.
    const std::vector<PassListRow> rows = passList_->EntryRows();
    const int pageCount = SheetsNeeded(rows, settings.cols, settings.rows);

    QPrintDialog dialog(&printer_, nullptr);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setMinMax(1, std::max(pageCount, 1));
    printer_.setFromTo(1, std::max(pageCount, 1));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return;

    ReadLayoutText(CurrentLayoutTexts(), settings);
    const SheetGeometry expected = ComputeSheetGeometry(settings, printer_.logicalDpiX(), printer_.logicalDpiY());
    const bool usable = LayoutUsable(int(rows.size()), settings, expected);
    if (usable)
        CheckStampsDecode(rows);

    PrintDocument document(printer_);
    PainterSurface& surface = document.surface();
    const SheetGeometry geometry = ComputeSheetGeometry(settings, surface.dpiX(), surface.dpiY());
    const QString bitmapPath = BarcodeBitmapPath();
    if (!usable || !LayoutUsable(int(rows.size()), settings, geometry)) {
        ShowMessage(kInvalidValueMessage);
        document.end();
        return;
    }
    const WindowHeadingStyle style(*chbCentered, *cboFontName);
    const PassPlacement placement{geometry, settings, style, bitmapPath};
    WalkControl control;
    control.newPage = [&document] { document.newPage(); };
    control.stopRequested = [this] { return abortRequested_; };
    WalkPasses(surface, placement, rows, control);
    document.end();
}
