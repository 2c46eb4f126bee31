// The print run: the Print button, the print dialog and the document.
#include "app/tfrm_main.h"

#include "app/error_box.h"
#include "app/fontpicker/font_combo_box.h"
#include "app/run_progress_line.h"
#include "app/window_run.h"
#include "app/tessary_application.h"
#include "app/yes_no_question.h"
#include "barcode/barcode_bitmap_path.h"
#include "output/run_page_layout.h"
#include "passes/pass_list.h"
#include "preview/run_print_dialog.h"
#include "run/print_run.h"
#include "verify/partly_read_passes.h"

#include <QAbstractPrintDialog>
#include <QCheckBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QFileInfo>
#include <QTimer>

namespace {

const QString kPrintCaption = QStringLiteral("&Print");
const QString kAbortCaption = QStringLiteral("&Abort");

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

// Asked once the run is drawn, before anything goes out.
bool PartlyReadAccepted(const QStringList& passNumbers)
{
    return OperatorSaysYes(PartlyReadQuestion(passNumbers), QStringLiteral("partlyReadQuestion"));
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
    PrintRunRequest request;
    ReadLayoutCounts(CurrentLayoutTexts(), request.settings);
    // The run prints a snapshot: rows added or cleared meanwhile do not reach it.
    request.rows = passList_->EntryRows();
    const WindowHeadingStyle style(*chbCentered, *cboFontName);
    // The rest of the settings. The window is disabled while the dialog is open,
    // so a preview reads exactly what the run reads after OK.
    const auto readRest = [this, &style](PrintRunRequest& run) {
        ReadLayoutText(CurrentLayoutTexts(), run.settings);
        run.style = &style;
        run.bitmapPath = BarcodeBitmapPath();
    };

    RunPreviewSource preview;
    preview.request = [&request, &readRest] {
        PrintRunRequest whole = request;
        readRest(whole);
        return whole;
    };
    preview.reportUnusable = [] { ShowMessage(kInvalidValueText); };
    preview.reportError = [](const QString& text) { ShowErrorBox(text); };
    // A queue chosen last time left its own resolution on the printer; a file
    // chosen now is laid out at the file's.
    printer_.setResolution(kFileResolutionDpi);
    // Copies asked for last time are not asked for again unseen.
    printer_.setCopyCount(1);
    RunPrintDialog dialog(printer_, request, preview);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return;

    SetRunPageLayout(printer_);
    // Titled as tessary-print titles it: by the label file, else as passes.
    printer_.setDocName(lastLabelFile_.isEmpty() ? QStringLiteral("Passes") : QFileInfo(lastLabelFile_).fileName());
    readRest(request);
    dialog.ApplyChoices(request);
    request.stopRequested = [this] { return abortRequested_; };
    request.partlyReadAccepted = PartlyReadAccepted;
    RunProgressLine& progress = *runProgress_;
    request.progressed = [&progress](const RunProgress& reached) { progress.Show(reached); };
    struct HiddenAtEnd {
        RunProgressLine& line;
        ~HiddenAtEnd() { line.RunEnded(); }
    } hidden{progress};
    progress.RunBegun();
    PrintWindowRun(printer_, request);
}
