#include "preview/run_print_dialog.h"

#include "common/tessary_error.h"
#include "draw/calibration_sheet.h"
#include "output/run_page_layout.h"
#include "output/stored_correction.h"
#include "preview/output_file_completer.h"
#include "preview/passes_tab.h"
#include "preview/preview_printer.h"
#include "preview/printer_correction_dialog.h"
#include "preview/run_preview.h"
#include "sheet/sheet_geometry.h"
#include "sheet/sheet_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <algorithm>

RunPrintDialog::PrinterBefore::PrinterBefore(const QPrinter& printer)
    : toFile(printer.outputFormat() == QPrinter::PdfFormat),
      fileName(printer.outputFileName()),
      queue(printer.printerName()),
      paper(printer.pageLayout().pageSize())
{
}

RunPrintDialog::RunPrintDialog(QPrinter& printer, const PrintRunRequest& counted, RunPreviewSource source,
                               QWidget* parent)
    : RunPrintDialog(PrinterBefore(printer), printer, counted, std::move(source), parent)
{
}

RunPrintDialog::RunPrintDialog(const PrinterBefore& before, QPrinter& printer, const PrintRunRequest& counted,
                               RunPreviewSource source, QWidget* parent)
    : QPrintDialog(&printer, parent), before_(before), counted_(counted), source_(std::move(source))
{
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("filename")))
        OutputFileCompleter::Replace(*name);
    if (before_.toFile && !before_.fileName.isEmpty())
        OfferFileAgain(before_.fileName);
    tab_ = new PassesTab(qint64(counted_.settings.cols) * counted_.settings.rows);
    setOptionTabs({tab_});
    connect(tab_, &PassesTab::startCellChanged, this, &RunPrintDialog::FollowStartCell);
    connect(tab_, &PassesTab::previewRequested, this, &RunPrintDialog::ShowPreview);
    connect(tab_, &PassesTab::calibrationSheetRequested, this, &RunPrintDialog::PrintCalibrationSheet);
    connect(tab_, &PassesTab::correctionRequested, this, &RunPrintDialog::EditCorrection);

    paper_ = std::make_unique<PaperChoiceWatch>(*this, before_.paper);
    // Qt sets the page choices again whenever another output is chosen.
    if (auto* outputs = findChild<QComboBox*>(QStringLiteral("printers"))) {
        connect(outputs, &QComboBox::currentIndexChanged, this, [this] {
            if (isVisible())
                OfferPageChoices();
        });
    }
    // Sheets in reverse order would need the run drawn backwards, which it is
    // not: the choice is not offered rather than silently ignored.
    if (auto* reverse = findChild<QCheckBox*>(QStringLiteral("reverse"))) {
        reverse->setChecked(false);
        reverse->setVisible(false);
    }
    const int sheets = std::max(SheetsOfFullRun(counted_), 1);
    setMinMax(1, sheets);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(1, sheets);

    // Qt keeps its option tabs folded away behind "Options"; open them so that
    // the Passes tab is in sight.
    if (auto* buttons = findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly)) {
        for (QAbstractButton* button : buttons->buttons()) {
            if (buttons->buttonRole(button) == QDialogButtonBox::ResetRole)
                button->click();
        }
    }
}

// Qt's dialog puts the printer on a queue as it is made, and offers "Print to
// File" when it is shown only if the printer still writes a file then.
void RunPrintDialog::OfferFileAgain(const QString& fileName)
{
    printer()->setOutputFormat(QPrinter::PdfFormat);
    printer()->setOutputFileName(fileName);
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("filename")))
        name->setText(fileName);
}

// Qt's dialog moves the printer to each output the operator looks at in its
// list; cancelled, the dialog leaves the printer on the output it had.
void RunPrintDialog::PutOutputBack()
{
    if (before_.toFile && !before_.fileName.isEmpty()) {
        printer()->setOutputFormat(QPrinter::PdfFormat);
        printer()->setOutputFileName(before_.fileName);
    } else if (!before_.toFile && !before_.queue.isEmpty()) {
        printer()->setOutputFormat(QPrinter::NativeFormat);
        printer()->setPrinterName(before_.queue);
    }
}

void RunPrintDialog::setVisible(bool visible)
{
    QPrintDialog::setVisible(visible);
    if (visible)
        OfferPageChoices();
}

// Qt offers the Pages list and Odd/Even Pages only for a queue, as options of
// the scheduler's; the run picks its sheets itself, so a file is offered them
// too. Qt fills the page fields as it shows the dialog, never below 1: a run
// without a sheet shows 0 and offers no choice.
void RunPrintDialog::OfferPageChoices()
{
    if (SheetsOfFullRun(counted_) == 0) {
        ShowNoSheets();
        return;
    }
    if (auto* pages = findChild<QRadioButton*>(QStringLiteral("pagesRadioButton"))) {
        pages->setEnabled(true);
        if (auto* text = findChild<QLineEdit*>(QStringLiteral("pagesLineEdit")))
            text->setEnabled(pages->isChecked());
    }
    if (auto* set = findChild<QComboBox*>(QStringLiteral("pageSetCombo")))
        set->setEnabled(true);
}

// No row has a pass: there is no sheet to choose. The boxes read 0, the
// run's sheet count, and the page choices are out of reach; the rest of the
// dialog works as ever, and OK says there is nothing to print.
void RunPrintDialog::ShowNoSheets()
{
    for (const char* name : {"from", "to"}) {
        if (auto* box = findChild<QSpinBox*>(QLatin1String(name))) {
            box->setMinimum(0);
            box->setValue(0);
        }
    }
    for (const char* name : {"printRange", "pagesRadioButton", "pagesLineEdit"}) {
        if (auto* choice = findChild<QWidget*>(QLatin1String(name)))
            choice->setEnabled(false);
    }
}

// Qt drops a Pages list it cannot hold as page ranges ("3-", "2-3,4-") and
// prints every page instead, and would leave Odd/Even Pages to a queue's
// scheduler: both are read from the dialog and done by the run.
SheetRange RunPrintDialog::ChosenSheets() const
{
    SheetRange range = ChosenSheetRange(*printer());
    const auto* pagesChosen = findChild<QRadioButton*>(QStringLiteral("pagesRadioButton"));
    const auto* pagesText = findChild<QLineEdit*>(QStringLiteral("pagesLineEdit"));
    if (pagesChosen && pagesText && pagesChosen->isChecked()) {
        if (const std::optional<SheetRange> typed = ParseSheetList(pagesText->text()))
            range = *typed;
    }
    // Its entries: All Pages, Odd Pages, Even Pages; greyed, it is not a choice.
    const auto* set = findChild<QComboBox*>(QStringLiteral("pageSetCombo"));
    if (set && set->isEnabled()) {
        range.set = set->currentIndex() == 1   ? SheetSet::Odd
                    : set->currentIndex() == 2 ? SheetSet::Even
                                               : SheetSet::All;
    }
    return range;
}

void RunPrintDialog::ApplyChoices(PrintRunRequest& request) const
{
    request.sheets = ChosenSheets();
    request.startCell = tab_->StartCell();
    request.outlineCells = tab_->OutlineCells();
    request.correction = StoredCorrection(CorrectionOutputKey(*printer()));
}

void RunPrintDialog::FollowStartCell(int startCell)
{
    PrintRunRequest counted = counted_;
    counted.startCell = startCell;
    const int sheets = SheetsOfFullRun(counted);
    if (sheets == 0)
        return;  // no start cell gives a run without passes a sheet
    setMinMax(1, sheets);
    // Qt fills its From and To boxes only when the dialog is shown; the open boxes
    // are kept in step here. A To that held the last sheet goes on holding it.
    for (const char* name : {"from", "to"}) {
        auto* box = findChild<QSpinBox*>(QLatin1String(name));
        if (!box)
            continue;
        const bool atLastSheet = box->value() == box->maximum();
        box->setMaximum(sheets);
        if (atLastSheet && qstrcmp(name, "to") == 0)
            box->setValue(sheets);
    }
    if (!isVisible())
        printer()->setFromTo(std::min(std::max(printer()->fromPage(), 1), sheets), sheets);
}

void RunPrintDialog::done(int result)
{
    // Qt has written the dialog's choices into the printer by now.
    if (result == QDialog::Accepted)
        paper_->Apply(*printer());
    else
        PutOutputBack();
    if (keepOpen_) {
        closeHeldBack_ = true;
        return;
    }
    QPrintDialog::done(result);
}

// Qt writes what the dialog shows into the printer only as it accepts; for a
// preview the writing is wanted but not the closing, which done() holds back.
// False when Qt refused the choices (it has said why).
bool RunPrintDialog::WriteChoicesToPrinter()
{
    keepOpen_ = true;
    closeHeldBack_ = false;
    accept();
    keepOpen_ = false;
    return closeHeldBack_;
}

void RunPrintDialog::ShowPreview()
{
    try {
        if (!WriteChoicesToPrinter())
            return;
        PrintRunRequest request = source_.request();
        ApplyChoices(request);
        const std::unique_ptr<QPrinter> page = PreviewPrinterFor(*printer());
        // The run's own plan, one copy of it; the preview asks nothing. A run
        // with nothing to print opens on no page, which says so.
        RunOutputChoice output = OutputChoiceOf(*page);
        output.copies = RunCopies{};
        const RunPlan plan = PlanRun(request, output);
        if (plan.refusal && plan.refusal->kind == RunRefusal::LayoutUnusable) {
            source_.reportUnusable();
            return;
        }
        if (plan.refusal
            && (plan.refusal->kind == RunRefusal::QuantityOverLimit || plan.refusal->kind == RunRefusal::StampInvalid))
            throw TessaryError(plan.refusal->text);
        std::unique_ptr<RunPreview> preview;
        {
            // Window events are let through at every sheet drawn; the dialog
            // takes none of them until the preview stands in front of it.
            setEnabled(false);
            const auto enable = qScopeGuard([this] { setEnabled(true); });
            preview = std::make_unique<RunPreview>(*page, plan, this);
        }
        if (preview->exec() == QDialog::Accepted)
            PressPrint();
    } catch (const std::exception& error) {
        source_.reportError(QString::fromUtf8(error.what()));
    }
}

// Printing from the preview is the dialog's own Print button: the same checks
// of the chosen file, then the run.
void RunPrintDialog::PressPrint()
{
    if (auto* buttons = findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->click();
    }
}

// One page of rulers on the chosen output, through its correction as kept,
// laid out as a run on it would be; the dialog stays open for the readings.
// It prints through a printer of its own: the run's page layout set on the
// dialog's printer would outlive a change of output in the dialog.
void RunPrintDialog::PrintCalibrationSheet()
{
    try {
        if (!WriteChoicesToPrinter())
            return;
        PrintRunRequest request = source_.request();
        request.calibrationSheet = true;
        request.correction = StoredCorrection(CorrectionOutputKey(*printer()));
        QPrinter sheet(QPrinter::HighResolution);
        if (printer()->outputFormat() == QPrinter::PdfFormat) {
            sheet.setOutputFormat(QPrinter::PdfFormat);
            sheet.setOutputFileName(printer()->outputFileName());
        } else {
            sheet.setPrinterName(printer()->printerName());
        }
        CopyPageSetup(*printer(), sheet);
        SetRunPageLayout(sheet);
        // Rulers only: nothing to ask.
        struct SheetAnswers : RunAnswers {
            explicit SheetAnswers(const std::function<void()>& report) : report_(report) {}
            bool Accept(const RunQuestion&) override { return true; }
            void ReportUnusable() override { report_(); }
            const std::function<void()>& report_;
        } answers(source_.reportUnusable);
        PrintPlanned(sheet, PlanRun(request, OutputChoiceOf(sheet)), answers);
    } catch (const std::exception& error) {
        source_.reportError(QString::fromUtf8(error.what()));
    }
}

void RunPrintDialog::EditCorrection()
{
    try {
        if (!WriteChoicesToPrinter())
            return;
        const PrintRunRequest request = source_.request();
        const std::unique_ptr<QPrinter> page = PreviewPrinterFor(*printer());
        const SheetGeometry geometry =
            ComputeSheetGeometry(request.settings, page->logicalDpiX(), page->logicalDpiY());
        if (!LayoutUsable(1, request.settings, geometry)) {
            source_.reportUnusable();
            return;
        }
        const QString key = CorrectionOutputKey(*printer());
        PrinterCorrectionDialog dialog(key, CalibrationCornersOf(geometry, request.settings), StoredCorrection(key),
                                       this);
        dialog.exec();
    } catch (const std::exception& error) {
        source_.reportError(QString::fromUtf8(error.what()));
    }
}
