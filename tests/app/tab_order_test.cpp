// Keyboard focus: the Tab order the operator relies on, and keys that must
// press no button.
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QTest>

namespace {

const QStringList kTabOrder = {
    "txtLeftMargin", "txtTop", "ebxAdjust", "ebxAdjustCol", "ebxCols", "ebxRows", "cboFontName",
    "chbCentered", "ebxLine1", "chkBold1", "ebxLine2", "chkBold2", "ebxLine3", "chkBold3",
    "ebxLine4", "chkBold4", "ebxLine5", "chkBold5", "cboType", "btnLoad", "btnSave", "btnPrint",
    "txtFontSize", "dtpDate", "btnAdd", "grdList", "btnClear", "txtQty"};

// The window's control that holds the focus (the date picker's inner edit
// counts as the picker).
QString FocusedControl(const QWidget& window)
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (w->parentWidget() == &window)
            return w->objectName();
    }
    return QStringLiteral("<none>");
}

// Presses key repeatedly from the focused control and gives the controls
// visited, one entry per press.
QStringList Visit(const QWidget& window, Qt::Key key, int presses)
{
    QStringList visited{FocusedControl(window)};
    for (int i = 0; i < presses; ++i) {
        QTest::keyClick(QApplication::focusWidget(), key);
        visited << FocusedControl(window);
    }
    return visited;
}

TEST_F(MainWindowTest, TabVisitsEveryControlOnceInOrderAndSkipsPages)
{
    Find<QWidget>("txtLeftMargin")->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(FocusedControl(*window), QStringLiteral("txtLeftMargin"));
    const QStringList visited = Visit(*window, Qt::Key_Tab, int(kTabOrder.size()));
    EXPECT_EQ(visited.mid(0, kTabOrder.size()).join(' ').toStdString(), kTabOrder.join(' ').toStdString());
    EXPECT_EQ(visited.back(), kTabOrder.front()) << "Tab from the last control wraps to the first";
    EXPECT_FALSE(visited.contains("txtPages"));
}

TEST_F(MainWindowTest, ShiftTabGoesBackThroughTheSameOrder)
{
    Find<QWidget>("txtQty")->setFocus(Qt::TabFocusReason);
    const QStringList visited = Visit(*window, Qt::Key_Backtab, int(kTabOrder.size()) - 1);
    QStringList reversed = kTabOrder;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(visited.join(' ').toStdString(), reversed.join(' ').toStdString());
}

TEST_F(MainWindowTest, EnterAndEscapePressNoButton)
{
    ModalScript script;  // a pressed Print, Load or Save button would open a dialog
    const char* const focusedControls[] = {"txtLeftMargin", "ebxLine3", "txtQty", "grdList"};
    for (const char* name : focusedControls) {
        Find<QWidget>(name)->setFocus(Qt::TabFocusReason);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(QApplication::focusWidget(), key);
    }
    // Whatever a key set going (a dialog opened from a queued call) happens now.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(script.Unexpected().isEmpty()) << script.Unexpected().join(", ").toStdString();
    EXPECT_EQ(PrintCaption(), QStringLiteral("&Print"));
    EXPECT_EQ(window->passList().GridRowCount(), 2);
    EXPECT_TRUE(window->isVisible());
}

}  // namespace
