#include "app/tfrm_main.h"

#include "app/error_box.h"
#include "app/fontpicker/font_combo_box.h"
#include "app/tessary_application.h"
#include "passes/pass_list.h"
#include "passes/quantity_filter.h"
#include "render/print_document.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>

TfrmMain::TfrmMain(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      passList_(std::make_unique<PassList>())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kApplicationTitle);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(395, 575);
    BuildControls();
    SetTabOrder();
    PrepareLetterPrinter(printer_);

    const auto wire = [this](QPushButton* button, void (TfrmMain::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); });
    };
    wire(btnAdd, &TfrmMain::btnAddClick);
    wire(btnClear, &TfrmMain::btnClearClick);
    wire(btnPrint, &TfrmMain::btnPrintClick);
    wire(btnLoad, &TfrmMain::btnLoadClick);
    wire(btnSave, &TfrmMain::btnSaveClick);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::showEvent(QShowEvent* event)
{
    if (!shownOnce_) {
        shownOnce_ = true;
        if (const QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
        FormShow();
    }
    QWidget::showEvent(event);
}

void TfrmMain::FormShow()
{
    dtpDate->setDate(QDate::currentDate());
    passList_->WriteHeader();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (RunInProgress()) {
        // Let the run stop at its next check, then close once it has ended.
        abortRequested_ = true;
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == txtQty || watched == dtpDate)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Qt gives Tab the character "\t" and lets the date picker step through
        // its fields with it; here Tab only ever moves to the next control.
        const bool tabKey = (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (tabKey) {
            focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    if (watched == txtQty && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        const bool producesCharacter = !typed.isEmpty() && key->key() != Qt::Key_Delete;
        if (producesCharacter && !QuantityKeyPasses(typed.front()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::btnAddClick()
{
    std::optional<QString> lane;
    if (cboType->currentIndex() >= 0)
        lane = cboType->currentText();
    if (!passList_->Add(lane, dtpDate->date(), txtQty->text())) {
        ShowMessage(PassList::LaneRequiredMessage());
        return;
    }
    grdList->setCurrentIndex(passList_->index(passList_->CurrentGridRow() - 1, 0));
}

void TfrmMain::btnClearClick()
{
    passList_->Clear();
}

LayoutTexts TfrmMain::CurrentLayoutTexts() const
{
    LayoutTexts texts;
    texts.cols = ebxCols->text();
    texts.rows = ebxRows->text();
    texts.rowAdjust = ebxAdjust->text();
    texts.colAdjust = ebxAdjustCol->text();
    texts.leftMargin = txtLeftMargin->text();
    texts.top = txtTop->text();
    texts.fontSize = txtFontSize->text();
    for (int n = 0; n < kHeadingLineCount; ++n) {
        texts.headingLines[n] = ebxLine[n]->text();
        texts.headingBold[n] = chkBold[n]->isChecked();
    }
    return texts;
}

LabelValues TfrmMain::CurrentLabelValues() const
{
    LabelValues values;
    values.cols = ebxCols->text();
    values.rows = ebxRows->text();
    values.rowAdjust = ebxAdjust->text();
    values.colAdjust = ebxAdjustCol->text();
    values.font = cboFontName->SelectedFontName();
    values.fontSize = txtFontSize->text();
    values.type = cboType->currentIndex() >= 0 ? cboType->currentText() : QString();
    values.center = chbCentered->isChecked();
    values.leftMargin = txtLeftMargin->text();
    values.top = txtTop->text();
    for (int n = 0; n < kHeadingLineCount; ++n) {
        values.lines[n] = ebxLine[n]->text();
        values.bold[n] = chkBold[n]->isChecked();
    }
    return values;
}

void TfrmMain::ApplyLabelValues(const LabelValues& values)
{
    ebxCols->setText(values.cols);
    ebxRows->setText(values.rows);
    ebxAdjust->setText(values.rowAdjust);
    ebxAdjustCol->setText(values.colAdjust);
    cboFontName->SelectFontByName(values.font);
    txtFontSize->setText(values.fontSize);
    QStringList lanes;
    for (int i = 0; i < cboType->count(); ++i)
        lanes << cboType->itemText(i);
    cboType->setCurrentIndex(FindLaneIndex(values.type, lanes));
    chbCentered->setChecked(values.center);
    txtLeftMargin->setText(values.leftMargin);
    txtTop->setText(values.top);
    for (int n = 0; n < kHeadingLineCount; ++n)
        chkBold[n]->setChecked(values.bold[n]);
    for (int n = 0; n < kHeadingLineCount; ++n)
        ebxLine[n]->setText(values.lines[n]);
}

void TfrmMain::LoadLabelFile(const QString& path)
{
    lastLabelFile_ = path;
    ApplyLabelValues(::LoadLabelFile(path));
}

void TfrmMain::SaveLabelFile(const QString& path)
{
    ::SaveLabelFile(path, CurrentLabelValues());
}

void TfrmMain::btnLoadClick()
{
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    LoadLabelFile(OpenDialog1->selectedFiles().constFirst());
}

void TfrmMain::btnSaveClick()
{
    SaveDialog1->selectFile(lastLabelFile_);
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return;
    SaveLabelFile(WithLabelExtension(SaveDialog1->selectedFiles().constFirst()));
}
