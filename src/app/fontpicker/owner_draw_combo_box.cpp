#include "app/fontpicker/owner_draw_combo_box.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QStylePainter>

// Hands the open list's rows to the combo box's own drawing.
class TOwnerDrawComboBox::ItemDelegate : public QAbstractItemDelegate {
public:
    explicit ItemDelegate(TOwnerDrawComboBox& combo) : QAbstractItemDelegate(&combo), m_combo(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        TOwnerDrawState state;
        state.selected = option.state.testFlag(QStyle::State_Selected);
        state.disabled = !option.state.testFlag(QStyle::State_Enabled);
        painter->save();
        painter->setClipRect(option.rect, Qt::IntersectClip);
        m_combo.DrawItem(*painter, index.row(), option.rect, state);
        painter->restore();
    }

    // No width of its own: the open list is exactly as wide as the box.
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(0, m_combo.ItemHeight());
    }

private:
    TOwnerDrawComboBox& m_combo;
};

namespace {

// Styles such as Fusion open a pick-only combo box as a menu-like list of all
// entries, as tall as the screen allows and as wide as the longest name; this
// box opens a list of a fixed number of entries that scrolls.
class ScrollingListStyle : public QProxyStyle {
public:
    ScrollingListStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    auto* listStyle = new ScrollingListStyle;
    listStyle->setParent(this); // a widget does not own the style it is given
    setStyle(listStyle);
    setDropDownCount(8);
    setItemDelegate(new ItemDelegate(*this));
}

void TOwnerDrawComboBox::showPopup()
{
    QComboBox::showPopup();
    QWidget* list = view()->window();
    if (list == window())
        return;
    const int widthPx = m_dropDownWidthPx > 0 ? m_dropDownWidthPx : width();
    if (list->width() != widthPx)
        list->resize(widthPx, list->height());
}

void TOwnerDrawComboBox::SetItemHeight(int heightPx)
{
    if (heightPx == m_itemHeightPx)
        return;
    m_itemHeightPx = heightPx;
    view()->doItemsLayout();
    updateGeometry();
    update();
}

void TOwnerDrawComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // The frame and arrow come from the style; the text is ours.
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);

    const QRect fieldPx = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                  QStyle::SC_ComboBoxEditField, this);
    painter.setClipRect(fieldPx);
    if (currentIndex() < 0) {
        painter.fillRect(fieldPx, palette().brush(QPalette::Base));
        return;
    }
    TOwnerDrawState state;
    state.closedBox = true;
    state.selected = hasFocus() && !view()->isVisible();
    state.disabled = !isEnabled();
    DrawItem(painter, currentIndex(), fieldPx, state);
}
