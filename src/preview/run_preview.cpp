#include "preview/run_preview.h"

#include "common/tessary_error.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr qreal kZoomStep = 1.25;
// Sheets drawn either side of the one in view, so that the next page is there at once.
constexpr int kPagesAround = 2;

QPushButton* Button(const QString& text, const char* name)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    // Enter must not print by accident.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

RunPreview::RunPreview(QPrinter& page, const RunPlan& plan, QWidget* parent)
    : QDialog(parent), page_(page), plan_(plan)
{
    setObjectName(QStringLiteral("runPreview"));
    setWindowTitle(tr("Print Preview"));
    setWindowModality(Qt::ApplicationModal);
    plan_.request.barcodeCheck = BarcodeCheck::MarkSheet;
    plan_.request.sheetChecked = [this](int sheet, SheetLegibility found) { legibilityOnSheet_[sheet] = found; };
    // Only the pages near the one in view hold their passes.
    plan_.request.fillPage = [this](int page) { return page >= filledFrom_ && page <= filledTo_; };

    view_ = new QPrintPreviewWidget(&page, this);
    view_->setObjectName(QStringLiteral("previewView"));
    connect(view_, &QPrintPreviewWidget::paintRequested, this, &RunPreview::Draw);
    connect(view_, &QPrintPreviewWidget::previewChanged, this, &RunPreview::ShowPosition);

    previous_ = Button(tr("&Previous sheet"), "btnPreviousSheet");
    next_ = Button(tr("&Next sheet"), "btnNextSheet");
    auto* zoomIn = Button(tr("Zoom &in"), "btnZoomIn");
    auto* zoomOut = Button(tr("Zoom &out"), "btnZoomOut");
    auto* fitWidth = Button(tr("Fit &width"), "btnFitWidth");
    auto* wholeSheet = Button(tr("&Whole sheet"), "btnWholeSheet");
    auto* print = Button(tr("P&rint"), "btnPrintRun");
    auto* close = Button(tr("&Close"), "btnClosePreview");
    position_ = new QLabel;
    position_->setObjectName(QStringLiteral("lblSheetInView"));
    unreadable_ = new QLabel;
    unreadable_->setObjectName(QStringLiteral("lblUnreadableOnSheet"));
    unreadable_->setStyleSheet(QStringLiteral("color: #dc0000; font-weight: bold"));

    connect(previous_, &QPushButton::clicked, this, [this] { Step(-1); });
    connect(next_, &QPushButton::clicked, this, [this] { Step(1); });
    connect(zoomIn, &QPushButton::clicked, view_, [this] { view_->zoomIn(kZoomStep); });
    connect(zoomOut, &QPushButton::clicked, view_, [this] { view_->zoomOut(kZoomStep); });
    connect(fitWidth, &QPushButton::clicked, view_, &QPrintPreviewWidget::fitToWidth);
    connect(wholeSheet, &QPushButton::clicked, view_, &QPrintPreviewWidget::fitInView);
    connect(print, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* tools = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(previous_), static_cast<QWidget*>(next_), static_cast<QWidget*>(zoomIn),
                       static_cast<QWidget*>(zoomOut), static_cast<QWidget*>(fitWidth),
                       static_cast<QWidget*>(wholeSheet)})
        tools->addWidget(w);
    tools->addStretch();
    tools->addWidget(print);
    tools->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(view_, 1);
    layout->addWidget(position_);
    layout->addWidget(unreadable_);

    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                           : QRect(0, 0, 800, 1000);
    resize(std::min(760, screen.width()), std::min(960, screen.height()));

    view_->fitInView();
    filledTo_ = 1 + kPagesAround;
    // Drawn now, not when first shown, so that an error reaches the caller.
    view_->updatePreview();
    if (!drawError_.isEmpty())
        throw TessaryError(drawError_);
}

void RunPreview::Draw(QPrinter* printer)
{
    // A range that holds no pass prints nothing at all; neither does its preview.
    if (plan_.refusal)
        return;
    legibilityOnSheet_.clear();
    try {
        DrawRun(*printer, plan_, {});
    } catch (const std::exception& error) {
        // Qt is drawing the preview here; the error is handed on once it has finished.
        drawError_ = QString::fromUtf8(error.what());
    }
}

int RunPreview::SheetInView() const
{
    const std::vector<int>& pages = plan_.pages;
    if (view_->pageCount() < 1 || pages.empty())
        return 0;
    return pages[std::min(std::size_t(std::max(view_->currentPage(), 1) - 1), pages.size() - 1)];
}

QString RunPreview::PositionText() const { return position_->text(); }

int RunPreview::exec()
{
    const int result = QDialog::exec();
    if (!drawError_.isEmpty())
        throw TessaryError(drawError_);
    return result;
}

// Called whenever the page in view changes: when it or a neighbour is still
// empty, the pages around it are drawn (and those further away let go) once the
// view has finished moving.
void RunPreview::FillAroundPageInView()
{
    const int page = view_->currentPage();
    const int pages = view_->pageCount();
    if (page < 1 || refillDue_ || !drawError_.isEmpty())
        return;
    const int wantedFrom = std::max(1, page - 1);
    const int wantedTo = std::min(pages, page + 1);
    if (wantedFrom >= filledFrom_ && wantedTo <= filledTo_)
        return;
    refillDue_ = true;
    QTimer::singleShot(0, this, [this] {
        const int inView = view_->currentPage();
        filledFrom_ = std::max(1, inView - kPagesAround);
        filledTo_ = inView + kPagesAround;
        // The run lets window events through at every page; the view's pages
        // are gone until the drawing ends, so nothing may paint them meanwhile.
        setUpdatesEnabled(false);
        view_->updatePreview();
        setUpdatesEnabled(true);
        refillDue_ = false;
        if (!drawError_.isEmpty()) {
            reject();
            return;
        }
        // Paging on while the pages were drawn.
        FillAroundPageInView();
    });
}

QString RunPreview::UnreadableText() const { return unreadable_->text(); }

void RunPreview::ShowPosition()
{
    FillAroundPageInView();
    const int pages = view_->pageCount();
    const int page = view_->currentPage();
    const auto found = legibilityOnSheet_.find(SheetInView());
    const SheetLegibility legibility = found == legibilityOnSheet_.end() ? SheetLegibility() : found->second;
    QStringList said;
    if (legibility.unreadablePasses > 0)
        said << (legibility.unreadablePasses == 1
                     ? tr("1 pass on this sheet cannot be read")
                     : tr("%1 passes on this sheet cannot be read").arg(legibility.unreadablePasses));
    if (legibility.partlyReadPasses > 0)
        said << (legibility.partlyReadPasses == 1
                     ? tr("1 pass reads only in part (orange)")
                     : tr("%1 passes read only in part (orange)").arg(legibility.partlyReadPasses));
    unreadable_->setText(said.join(QStringLiteral("; ")));
    unreadable_->setVisible(!said.isEmpty());
    previous_->setEnabled(page > 1);
    next_->setEnabled(page < pages);
    if (pages < 1) {
        position_->setText(tr("No sheet of the chosen range holds a pass: this run prints nothing."));
        return;
    }
    const int sheets = plan_.placed.sheetsOfFullRun;
    QString text = tr("Sheet %1 of %2").arg(SheetInView()).arg(sheets);
    if (pages < sheets)
        text += tr(" (page %1 of %2 in the chosen range)").arg(page).arg(pages);
    position_->setText(text);
}

void RunPreview::Step(int pages)
{
    view_->setCurrentPage(view_->currentPage() + pages);
    ShowPosition();
}
