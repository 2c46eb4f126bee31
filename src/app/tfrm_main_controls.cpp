// Construction of the window's controls: positions and sizes are pixels at 96 dpi.
#include "app/tfrm_main.h"

#include "app/date_picker.h"
#include "app/fontpicker/font_combo_box.h"
#include "app/run_progress_line.h"
#include "app/tessary_application.h"
#include "passes/lane_codes.h"
#include "passes/pass_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace {

constexpr int kLabelHeight = 13;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// The window as laid out, and the least it can be made on a screen too small for it.
constexpr QSize kDesignSize(395, 575);
constexpr QSize kSmallestScrolledWindow(200, 150);

template <typename Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(left, top, width, height);
    return control;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int left, int top, int width)
{
    return Place(new QLineEdit(parent), name, left, top, width, 21);
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    return Place(new QCheckBox(caption, parent), name, left, top, 55, 17);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    auto* button = Place(new QPushButton(caption, parent), name, left, top, kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// A caption sized to its text. A right-aligned caption keeps the right edge it
// has with the window's design font and grows to the left.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  bool rightAligned = false)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    const int width = label->fontMetrics().horizontalAdvance(text);
    label->setGeometry(left, top, width, kLabelHeight);
    if (rightAligned)
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// A caption whose face runs wider than the one the window was laid out for is
// drawn with its letters a little closer, so that it ends before its box.
QLabel* FitCaption(QLabel* label, int boxLeft)
{
    const int room = boxLeft - label->x() - 1;
    const int width = label->fontMetrics().horizontalAdvance(label->text());
    if (width <= room || label->text().size() < 2)
        return label;
    QFont condensed = label->font();
    condensed.setLetterSpacing(QFont::AbsoluteSpacing, double(room - width) / (label->text().size() - 1));
    label->setFont(condensed);
    label->resize(std::min(QFontMetrics(condensed).horizontalAdvance(label->text()), room), label->height());
    return label;
}

// A lowered frame with its title drawn over the top edge.
void MakeFrame(QWidget* parent, const char* frameName, QRect rect, const char* titleName, const QString& title,
               QPoint titlePos)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(frameName));
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(rect);
    QLabel* label = MakeLabel(parent, titleName, title, titlePos.x(), titlePos.y());
    label->setAutoFillBackground(true);
}

// Captions lie under the boxes they name and frames under everything, so a
// caption a pixel too wide for its font is covered by its box, not drawn over it.
void StackCaptionsAndFrames(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        label->lower();
    for (QFrame* frame : window->findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (frame->metaObject() == &QFrame::staticMetaObject)
            frame->lower();
    }
}

}  // namespace

void TfrmMain::BuildControls()
{
    // " Margins (inches) "
    txtLeftMargin = MakeEdit(this, "txtLeftMargin", 48, 24, 50);
    MakeLabel(this, "Label11", QStringLiteral("Left"), 24, 28);
    txtTop = MakeEdit(this, "txtTop", 138, 24, 50);
    MakeLabel(this, "Label6", QStringLiteral("Top"), 112, 28);
    ebxAdjust = MakeEdit(this, "ebxAdjust", 132, 54, 56);
    FitCaption(MakeLabel(this, "Label24", QStringLiteral("Row pixels adj (+/-)"), 24, 58), 132);
    ebxAdjustCol = MakeEdit(this, "ebxAdjustCol", 132, 82, 56);
    FitCaption(MakeLabel(this, "Label28", QStringLiteral("Column pixels adj (+/-)"), 24, 86), 132);

    // " # of Passes "
    ebxCols = MakeEdit(this, "ebxCols", 252, 42, 33);
    MakeLabel(this, "Label1", QStringLiteral("Across"), 214, 46);
    ebxRows = MakeEdit(this, "ebxRows", 334, 42, 33);
    MakeLabel(this, "Label4", QStringLiteral("Down"), 300, 46);

    // " Headings "
    cboFontName = Place(new TFontComboBox(this), "cboFontName", 84, 122, 161, 21);
    cboFontName->setOptions(TFontCBOptions{TFontCBOption::foPrinterFonts, TFontCBOption::foDisplayFont,
                                           TFontCBOption::foDisplaySelectedFont});
    cboFontName->RebuildFontList();
    MakeLabel(this, "Label25", QStringLiteral("Font"), 39, 126, true);
    txtFontSize = MakeEdit(this, "txtFontSize", 280, 124, 37);
    MakeLabel(this, "Label29", QStringLiteral("Size"), 248, 126, true);
    chbCentered = MakeCheck(this, "chbCentered", QStringLiteral("Center"), 326, 120);
    const int lineTops[kHeadingLineCount] = {146, 171, 196, 221, 246};
    const int boldTops[kHeadingLineCount] = {148, 172, 200, 224, 248};
    for (int n = 0; n < kHeadingLineCount; ++n) {
        const QByteArray lineName = "ebxLine" + QByteArray::number(n + 1);
        const QByteArray boldName = "chkBold" + QByteArray::number(n + 1);
        const QByteArray labelName = "Label" + QByteArray::number(13 + n);
        ebxLine[n] = MakeEdit(this, lineName.constData(), 118, lineTops[n], 200);
        MakeLabel(this, labelName.constData(), QStringLiteral("Line %1").arg(n + 1), 77, lineTops[n] + 4, true);
        chkBold[n] = MakeCheck(this, boldName.constData(), QStringLiteral("Bold"), 326, boldTops[n]);
    }

    // " Data "
    cboType = Place(new QComboBox(this), "cboType", 90, 292, 45, 21);
    cboType->addItems(LaneCodes());
    cboType->setCurrentIndex(-1);
    MakeLabel(this, "Label26", QStringLiteral("Lane"), 19, 296);
    dtpDate = Place(new TDateTimePicker(this), "dtpDate", 88, 320, 186, 25);
    dtpDate->setMinimumDate(QDate(100, 1, 1));
    dtpDate->installEventFilter(this);
    MakeLabel(this, "Label27", QStringLiteral("Valid On"), 19, 324);
    txtQty = MakeEdit(this, "txtQty", 88, 352, 65);
    txtQty->setMaxLength(2);
    txtQty->setText(QStringLiteral("1"));
    txtQty->installEventFilter(this);
    MakeLabel(this, "Label5", QStringLiteral("Quantity"), 19, 356);
    btnAdd = MakeButton(this, "btnAdd", QStringLiteral("Add"), 88, 376);
    txtPages = MakeEdit(this, "txtPages", 314, 380, 61);
    txtPages->setReadOnly(true);
    txtPages->setFocusPolicy(Qt::NoFocus);
    QPalette pagesPalette = txtPages->palette();
    pagesPalette.setColor(QPalette::Base, palette().color(QPalette::Button));
    txtPages->setPalette(pagesPalette);
    MakeLabel(this, "Label8", QStringLiteral("Pages"), 243, 384);

    // " Pass List to Print "
    grdList = Place(new QTableView(this), "grdList", 16, 432, 361, 97);
    grdList->setModel(passList_.get());
    grdList->verticalHeader()->hide();
    grdList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdList->verticalHeader()->setDefaultSectionSize(18);
    grdList->horizontalHeader()->setFixedHeight(18);
    grdList->horizontalHeader()->setHighlightSections(false);
    grdList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The columns keep their widths: the header borders cannot be dragged.
    grdList->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int columnWidthsPx[] = {56, 194, 89};
    for (int column = 0; column < 3; ++column)
        grdList->setColumnWidth(column, columnWidthsPx[column]);
    grdList->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next control instead of walking its cells.
    grdList->setTabKeyNavigation(false);
    grdList->setShowGrid(true);
    // The blank row 1 is current from the start, as after every Add and Clear.
    grdList->setCurrentIndex(passList_->index(passList_->CurrentGridRow() - 1, 0));

    btnLoad = MakeButton(this, "btnLoad", QStringLiteral("&Load"), 10, 542);
    btnSave = MakeButton(this, "btnSave", QStringLiteral("&Save"), 90, 542);
    btnClear = MakeButton(this, "btnClear", QStringLiteral("&Clear"), 170, 542);
    btnPrint = MakeButton(this, "btnPrint", QStringLiteral("&Print"), 308, 542);
    // Over Load, Save and Clear while a run lasts, beside the Abort button.
    runProgress_ = std::make_unique<RunProgressLine>(*this, QRect(10, 542, 290, 25));

    MakeFrame(this, "Bevel2", QRect(8, 10, 190, 99), "Label3", QStringLiteral(" Margins (inches) "), {24, 6});
    MakeFrame(this, "Bevel3", QRect(200, 10, 185, 99), "Label12", QStringLiteral(" # of Passes "), {216, 6});
    MakeFrame(this, "Bevel4", QRect(8, 114, 378, 159), "Label18", QStringLiteral(" Headings "), {22, 111});
    MakeFrame(this, "Bevel1", QRect(8, 282, 377, 127), "Label19", QStringLiteral(" Data "), {24, 279});
    MakeFrame(this, "Bevel5", QRect(8, 416, 377, 121), "Label2", QStringLiteral(" Pass List to Print "), {32, 415});

    StackCaptionsAndFrames(this);
}

void TfrmMain::SetTabOrder()
{
    QList<QWidget*> order = {txtLeftMargin, txtTop, ebxAdjust, ebxAdjustCol, ebxCols, ebxRows, cboFontName,
                             chbCentered};
    for (int n = 0; n < kHeadingLineCount; ++n)
        order << ebxLine[n] << chkBold[n];
    order << cboType << btnLoad << btnSave << btnPrint << txtFontSize << dtpDate << btnAdd << grdList << btnClear
          << txtQty;
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QPushButton* button : {btnAdd, btnLoad, btnSave, btnClear, btnPrint})
        button->setFocusPolicy(Qt::StrongFocus);
}

// The controls keep their places on a screen with less room than the window
// needs (a small one, or one with a scale factor): they move into a scroll
// area, and the window, frame included, takes no more than the screen's
// available area. Nothing changes on a screen with room for the whole window.
void TfrmMain::FitToScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    fittedFrame_ = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize room = screen->availableGeometry().size().shrunkBy(fittedFrame_);
    const bool fits = kDesignSize.width() <= room.width() && kDesignSize.height() <= room.height();
    if (fits && !controlsArea_)
        return;
    PutControlsInScrollArea();
    // Each scroll bar takes room from the other direction.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, controlsArea_);
    bool vertical = kDesignSize.height() > room.height();
    const bool horizontal = kDesignSize.width() + (vertical ? bar : 0) > room.width();
    vertical = vertical || kDesignSize.height() + (horizontal ? bar : 0) > room.height();
    const QSize wanted = kDesignSize + QSize(vertical ? bar : 0, horizontal ? bar : 0);
    setMinimumSize(wanted.boundedTo(kSmallestScrolledWindow));
    setMaximumSize(wanted);
    resize(wanted.boundedTo(room));
}

void TfrmMain::KeepOnScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const QPoint corner(std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())),
                        std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    if (corner != frame.topLeft())
        move(corner);
}

void TfrmMain::PutControlsInScrollArea()
{
    if (controlsArea_)
        return;
    // In stacking order, which they keep: captions under their boxes, frames under everything.
    QList<QWidget*> controls;
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            controls << child;
    }
    controlsArea_ = new QScrollArea(this);
    controlsArea_->setObjectName(QStringLiteral("controlsArea"));
    controlsArea_->setFrameShape(QFrame::NoFrame);
    controlsArea_->setFocusPolicy(Qt::NoFocus);
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("controlsSheet"));
    sheet->setFixedSize(kDesignSize);
    controlsArea_->setWidget(sheet);
    for (QWidget* control : controls)
        control->setParent(sheet);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(controlsArea_);
    controlsArea_->show();
    // A control given a new parent goes to the end of the focus chain.
    SetTabOrder();
    // The wheel scrolls the window, and no longer takes a box's focus on its way.
    for (QWidget* wheeled : std::initializer_list<QWidget*>{cboFontName, cboType, dtpDate}) {
        wheeled->setFocusPolicy(Qt::StrongFocus);
        wheeled->installEventFilter(this);
    }
    // The focused control is scrolled into sight, however the focus came to it
    // (Tab, a mnemonic, a click on a half-hidden box).
    connect(qApp, &QApplication::focusChanged, controlsArea_, [this](QWidget*, QWidget* now) {
        if (now && controlsArea_->widget()->isAncestorOf(now))
            controlsArea_->ensureWidgetVisible(now);
    });
}
