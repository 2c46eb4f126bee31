// The open list: a fixed number of entries at a time, as wide as the box.
#include "font_picker_test_support.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList Faces(int count)
{
    QStringList faces;
    for (int i = 0; i < count; ++i)
        faces << QStringLiteral("A long typeface name that is wider than the box %1").arg(i, 2, 10, QLatin1Char('0'));
    return faces;
}

struct DropDownCase {
    const char* what;
    int entries;
    int dropDownWidthPx;
    int rowsShown;
    int widthPx;
    bool scrolls;
};

class OpenList : public ::testing::TestWithParam<DropDownCase> {};

TEST_P(OpenList, ShowsItsCountOfEntriesAtTheSetWidth)
{
    const DropDownCase& c = GetParam();
    auto picker = PickerWithFaces(Faces(c.entries));
    picker->setGeometry(20, 20, 161, 21);
    picker->setDropDownWidth(c.dropDownWidthPx);
    picker->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(picker.get()));
    EXPECT_EQ(picker->DropDownCount(), 8);
    EXPECT_EQ(picker->DropDownWidth(), c.dropDownWidthPx);

    picker->showPopup();
    QAbstractItemView* view = picker->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const int rowHeightPx = view->visualRect(picker->model()->index(0, 0)).height();
    ASSERT_EQ(rowHeightPx, picker->ItemHeight()) << c.what;
    EXPECT_EQ(view->viewport()->height() / rowHeightPx, c.rowsShown) << c.what;
    EXPECT_EQ(view->window()->width(), c.widthPx) << c.what;
    EXPECT_EQ(view->verticalScrollBar()->maximum() > 0, c.scrolls) << c.what;
    picker->hidePopup();
}

INSTANTIATE_TEST_SUITE_P(
    Table, OpenList,
    ::testing::Values(DropDownCase{"many entries", 36, 0, 8, 161, true},
                      DropDownCase{"exactly eight", 8, 0, 8, 161, false},
                      DropDownCase{"fewer than eight", 3, 0, 3, 161, false},
                      DropDownCase{"a width of its own", 36, 250, 8, 250, true}));

} // namespace
