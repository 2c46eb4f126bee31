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

protected:
    // Draws entry index into rectPx, which the painter is already clipped to.
    virtual void DrawItem(QPainter& painter, int index, const QRect& rectPx,
                          const TOwnerDrawState& state) = 0;

    void paintEvent(QPaintEvent* event) override;

private:
    class ItemDelegate;

    int m_itemHeightPx = 15;
};
