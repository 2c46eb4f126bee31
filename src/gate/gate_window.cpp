#include "gate/gate_window.h"

#include "gate/gate_setting_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

// Readable from two metres: the headline fills a line of a small screen.
constexpr int kHeadlinePixels = 72;
constexpr int kBasisPixels = 28;

const QColor kAdmitColour(0x1b, 0x7d, 0x2f);
const QColor kRefuseColour(0xb3, 0x26, 0x1e);
const QColor kUncheckedColour(0xe0, 0x9a, 0x00);
const QColor kWaitingColour(0x30, 0x30, 0x30);

QColor ColourOf(GateReason reason)
{
    return reason == GateReason::Admit ? kAdmitColour : reason == GateReason::CannotCheck ? kUncheckedColour
                                                                                           : kRefuseColour;
}

QLabel* BigLabel(int pixels, bool bold, QWidget* parent)
{
    auto* label = new QLabel(parent);
    // What a scanner typed, a gate's name or the register's words are shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QPushButton* Button(const QString& text, const QString& accessibleName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAccessibleName(accessibleName);
    // The scan field keeps the keyboard: buttons are reached by their shortcuts.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

GateWindow::GateWindow(const RegisterLocation& location, const KeptGate& gate, QWidget* parent)
    : QWidget(parent), location_(location)
{
    panel_ = new QWidget(this);
    panel_->setAutoFillBackground(true);
    panel_->setAccessibleName(tr("Answer"));
    headline_ = BigLabel(kHeadlinePixels, true, panel_);
    headline_->setAccessibleName(tr("Answer"));
    basis_ = BigLabel(kBasisPixels, false, panel_);
    basis_->setAccessibleName(tr("Reason"));
    scanned_ = BigLabel(kBasisPixels, false, panel_);
    scanned_->setAccessibleName(tr("Scanned barcode"));
    auto* panelLayout = new QVBoxLayout(panel_);
    panelLayout->addStretch();
    panelLayout->addWidget(headline_);
    panelLayout->addWidget(basis_);
    panelLayout->addWidget(scanned_);
    panelLayout->addStretch();

    gateLine_ = BigLabel(kBasisPixels, false, this);
    gateLine_->setAccessibleName(tr("Gate and admissions today"));
    scanField_ = new QLineEdit(this);
    scanField_->setAccessibleName(tr("Scan"));
    scanField_->setAccessibleDescription(tr("Scan a pass, or type its barcode and press Enter"));
    scanField_->setPlaceholderText(tr("Scan a pass, or type its barcode and press Enter"));
    QFont fieldFont = scanField_->font();
    fieldFont.setPixelSize(kBasisPixels);
    scanField_->setFont(fieldFont);
    undoButton_ = Button(tr("&Undo last admission (Ctrl+Z)"), tr("Undo last admission"), this);
    gateButton_ = Button(tr("&Gate... (Ctrl+G)"), tr("Choose the gate"), this);
    fullScreenButton_ = Button(tr("&Full screen (F11)"), tr("Full screen"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(undoButton_);
    buttons->addWidget(gateButton_);
    buttons->addWidget(fullScreenButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_, 1);
    layout->addWidget(gateLine_);
    layout->addWidget(scanField_);
    layout->addLayout(buttons);

    connect(scanField_, &QLineEdit::returnPressed, this, [this] {
        const QString text = scanField_->text();
        scanField_->clear();
        Scan(text);
    });
    connect(undoButton_, &QPushButton::clicked, this, &GateWindow::UndoLast);
    connect(gateButton_, &QPushButton::clicked, this, &GateWindow::ChooseGate);
    connect(fullScreenButton_, &QPushButton::clicked, this, &GateWindow::ToggleFullScreen);
    new QShortcut(QKeySequence::Undo, this, this, &GateWindow::UndoLast);
    scanField_->installEventFilter(this);
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this, this, &GateWindow::ChooseGate);
    new QShortcut(QKeySequence(Qt::Key_F11), this, this, &GateWindow::ToggleFullScreen);

    resize(900, 640);
    UseGate(gate);
    ShowPanel(tr("READY"), tr("Scan a pass"), QString(), kWaitingColour);
    scanField_->setFocus();
}

GateWindow::~GateWindow()
{
    registerThread_.quit();
    registerThread_.wait();
}

// The scan field would take Ctrl+Z as its own undo: here it undoes the last admission.
bool GateWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scanField_ && event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo)) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void GateWindow::UseGate(const KeptGate& gate)
{
    kept_ = gate;
    // The gate's worker goes with its gate: scans still queued for it are
    // answered first, and no later one reaches it.
    if (worker_)
        disconnect(this, nullptr, worker_, nullptr);
    registerThread_.quit();
    registerThread_.wait();
    worker_ = new GateWorker(location_, GateOf(gate.name, gate.lane));
    worker_->moveToThread(&registerThread_);
    connect(&registerThread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(this, &GateWindow::scanRequested, worker_, &GateWorker::Scan);
    connect(this, &GateWindow::undoRequested, worker_, &GateWorker::UndoLast);
    connect(this, &GateWindow::countRequested, worker_, &GateWorker::Count);
    connect(worker_, &GateWorker::answered, this, &GateWindow::ShowAnswer);
    connect(worker_, &GateWorker::counted, this, &GateWindow::ShowCount);
    connect(worker_, &GateWorker::undone, this, [this](const Admission& undone) {
        ShowPanel(tr("ADMISSION UNDONE"), tr("%1 may be scanned again: %2").arg(undone.barcode, undone.undone.reason),
                  undone.barcode, kWaitingColour);
    });
    connect(worker_, &GateWorker::undoRefused, this,
            [this](const QString& why) { ShowPanel(tr("NOT UNDONE"), why, QString(), kUncheckedColour); });
    registerThread_.start();
    admittedToday_ = -1;
    ShowCount(-1);
    emit countRequested();
}

void GateWindow::Scan(const QString& text)
{
    const QString scanned = text.trimmed();
    if (scanned.isEmpty())
        return;
    ShowPanel(tr("CHECKING"), tr("Asking the register"), scanned, kWaitingColour);
    emit scanRequested(scanned);
}

void GateWindow::NoteCamera(const QString& note)
{
    cameraNote_ = note;
    ShowCount(admittedToday_);
}

void GateWindow::ShowAnswer(const GateAnswer& answer)
{
    ShowPanel(Headline(answer), Basis(answer), answer.scanned, ColourOf(answer.reason));
    sounds_.Play(answer.reason);
}

void GateWindow::ShowPanel(const QString& headline, const QString& basis, const QString& scanned, const QColor& colour)
{
    QPalette palette = panel_->palette();
    palette.setColor(QPalette::Window, colour);
    // Black on amber, white on green, red and grey: each readable at a distance.
    palette.setColor(QPalette::WindowText, colour == kUncheckedColour ? Qt::black : Qt::white);
    panel_->setPalette(palette);
    headline_->setText(headline);
    basis_->setText(basis);
    scanned_->setText(scanned);
    panel_->setAccessibleDescription(headline + QStringLiteral(". ") + basis);
    setWindowTitle(QStringLiteral("%1 - Tessary gate %2, lane %3").arg(headline, kept_.name, kept_.lane));
    QAccessibleEvent changed(headline_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void GateWindow::ShowCount(int admittedToday)
{
    admittedToday_ = admittedToday;
    gateLine_->setText(tr("Gate %1, lane %2: %3 admitted today")
                           .arg(kept_.name, kept_.lane, admittedToday >= 0 ? QString::number(admittedToday) : tr("?"))
                       + (cameraNote_.isEmpty() ? QString() : QStringLiteral("; ") + cameraNote_));
}

void GateWindow::UndoLast()
{
    bool ok = false;
    const QString reason = QInputDialog::getText(this, tr("Undo last admission"),
                                                 tr("Why is the last pass admitted at this gate to be let in again?"),
                                                 QLineEdit::Normal, QString(), &ok)
                               .trimmed();
    TakeKeyboardBack();
    if (!ok)
        return;
    if (reason.isEmpty()) {
        QMessageBox::warning(this, tr("Undo last admission"), tr("An admission is undone only with a reason."));
        TakeKeyboardBack();
        return;
    }
    emit undoRequested(reason);
}

void GateWindow::ChooseGate()
{
    GateSettingDialog dialog(kept_, this);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    TakeKeyboardBack();
    if (!chosen)
        return;
    SaveKeptGate(dialog.Chosen());
    UseGate(dialog.Chosen());
    ShowPanel(tr("READY"), tr("Scan a pass"), QString(), kWaitingColour);
}

void GateWindow::ToggleFullScreen()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
    TakeKeyboardBack();
}

void GateWindow::TakeKeyboardBack()
{
    activateWindow();
    scanField_->setFocus();
}
