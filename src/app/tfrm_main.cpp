#include "app/tfrm_main.h"

#include "app/error_box.h"
#include "app/fontpicker/font_combo_box.h"
#include "app/run_progress_line.h"
#include "app/tessary_application.h"
#include "output/run_page_layout.h"
#include "passes/pass_list.h"
#include "passes/quantity_filter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace {

// The two file dialogs are made when first used: building them is a good part
// of the window's start-up, and many sessions never load or save.
QFileDialog* LabelFileDialog(QFileDialog*& dialog, QWidget* parent, QFileDialog::AcceptMode mode)
{
    if (dialog)
        return dialog;
    const bool open = mode == QFileDialog::AcceptOpen;
    dialog = new QFileDialog(parent, open ? QStringLiteral("Load Label File") : QStringLiteral("Save Label File"),
                             QString(), QStringLiteral("Label Format (*.lbl)"));
    dialog->setObjectName(open ? QStringLiteral("OpenDialog1") : QStringLiteral("SaveDialog1"));
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !open);
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setOption(QFileDialog::ReadOnly, false);
    return dialog;
}

// Puts the path in the dialog's name box, or empties it for no path:
// selectFile("") would leave the name last typed there.
void ProposeFileName(QFileDialog& dialog, const QString& path)
{
    if (!path.isEmpty()) {
        dialog.selectFile(path);
        return;
    }
    if (auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        nameBox->clear();
}

// Makes the grid row current and scrolls it into view. Rows just inserted are
// laid out only later, so the layout is brought up to date first.
void ShowCurrentGridRow(QTableView& grid, const PassList& list)
{
    const QModelIndex blankRow = list.index(list.CurrentGridRow() - 1, 0);
    grid.doItemsLayout();
    grid.setCurrentIndex(blankRow);
    grid.scrollTo(blankRow);
}

}  // namespace

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
    NameControlsForAssistiveTools();
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

void TfrmMain::setVisible(bool visible)
{
    // Placed before its native window is made, the position is that of the
    // frame, which the window manager then puts where it is asked: the title
    // bar is not above the top of the screen.
    if (visible && !shownOnce_) {
        FitToScreen();
        if (const QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            const QSize framed = size().grownBy(fittedFrame_);
            move(area.topLeft() + QPoint(std::max(0, (area.width() - framed.width()) / 2),
                                         std::max(0, (area.height() - framed.height()) / 2)));
        }
    }
    QWidget::setVisible(visible);
}

void TfrmMain::showEvent(QShowEvent* event)
{
    if (!shownOnce_) {
        shownOnce_ = true;
        if (QWindow* handle = windowHandle()) {
            handle->installEventFilter(this);
            connect(handle, &QWindow::screenChanged, this, &TfrmMain::FitToScreen);
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
    // A window manager tells the size of its frame only once the window is
    // on screen: the window is fitted again with it.
    const QWindow* handle = windowHandle();
    if (watched == handle && (event->type() == QEvent::Expose || event->type() == QEvent::Move)
        && handle->frameMargins() != fittedFrame_) {
        FitToScreen();
        KeepOnScreen();
    }
    // In the scroll area the wheel scrolls the window: it changes the font,
    // lane or date only in the box that has the focus.
    if (event->type() == QEvent::Wheel && controlsArea_ && watched->isWidgetType()
        && !static_cast<QWidget*>(watched)->hasFocus()) {
        QCoreApplication::sendEvent(controlsArea_->viewport(), event);
        return true;
    }
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
    if (watched == txtQty && event->type() == QEvent::InputMethod) {
        // Dead keys, the compose key and input methods deliver their characters
        // here rather than as typed keys; the same filter applies to them.
        const auto* input = static_cast<QInputMethodEvent*>(event);
        const QString kept = QuantityCharactersKept(input->commitString());
        if (kept != input->commitString()) {
            QInputMethodEvent filtered(input->preeditString(), input->attributes());
            filtered.setCommitString(kept, input->replacementStart(), input->replacementLength());
            QCoreApplication::sendEvent(txtQty, &filtered);
            return true;
        }
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
    ShowCurrentGridRow(*grdList, *passList_);
}

void TfrmMain::btnClearClick()
{
    passList_->Clear();
    ShowCurrentGridRow(*grdList, *passList_);
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
    const LabelValues values = ::LoadLabelFile(path);
    lastLabelFile_ = path;  // Save proposes a file that was read, not one refused
    ApplyLabelValues(values);
}

void TfrmMain::OpenLabelFile(const QString& path)
{
    // Named from outside the window: a file that is not one says so, and the
    // layout stays as it was.
    RunGuarded([this, &path] {
        const LabelValues values = LoadNamedLabelFile(path);
        lastLabelFile_ = path;
        ApplyLabelValues(values);
    });
}

void TfrmMain::SaveLabelFile(const QString& path)
{
    ::SaveLabelFile(path, CurrentLabelValues());
}

void TfrmMain::btnLoadClick()
{
    QFileDialog* dialog = LabelFileDialog(OpenDialog1, this, QFileDialog::AcceptOpen);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    LoadLabelFile(dialog->selectedFiles().constFirst());
}

void TfrmMain::btnSaveClick()
{
    QFileDialog* dialog = LabelFileDialog(SaveDialog1, this, QFileDialog::AcceptSave);
    ProposeFileName(*dialog, lastLabelFile_);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    SaveLabelFile(WithLabelExtension(dialog->selectedFiles().constFirst()));
}
