#pragma once

#include <QComboBox>

class QPainter;

// How an entry is to be drawn.
struct TOwnerDrawState {
    bool selected = false;  // highlighted: the open list's current entry, or the focused closed box
    bool disabled = false;
    bool closedBox = false; // the closed box's selected entry rather than a row of the open list
};

// A pick-only drop-down list whose entries, all of one fixed height, are drawn
// by the subclass: the rows of the open list and the selected entry in the
// closed box alike.
class TOwnerDrawComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TOwnerDrawComboBox(QWidget* parent = nullptr);

    int ItemHeight() const { return m_itemHeightPx; }
    void SetItemHeight(int heightPx);

    // Entries the open list shows at a time; it scrolls for the others.
    int DropDownCount() const { return maxVisibleItems(); }
    void setDropDownCount(int count) { setMaxVisibleItems(count); }
    // Width of the open list in pixels; 0 makes it exactly as wide as the box.
    int DropDownWidth() const { return m_dropDownWidthPx; }
    void setDropDownWidth(int widthPx) { m_dropDownWidthPx = qMax(widthPx, 0); }

    void showPopup() override;

protected:
    // Draws entry index into rectPx, which the painter is already clipped to.
    virtual void DrawItem(QPainter& painter, int index, const QRect& rectPx,
                          const TOwnerDrawState& state) = 0;

    void paintEvent(QPaintEvent* event) override;

private:
    class ItemDelegate;

    int m_itemHeightPx = 15;
    int m_dropDownWidthPx = 0;
};
