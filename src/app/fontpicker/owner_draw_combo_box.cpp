#include "app/fontpicker/owner_draw_combo_box.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QPainter>
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

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    setMaxVisibleItems(8);
    setItemDelegate(new ItemDelegate(*this));
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
