#include "font_picker_test_support.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

int ExpectedItemHeightPx(const QFont& font)
{
    return qMax(QFontMetrics(font).height() + 1, 10);
}

TEST(ItemHeight, FifteenUntilFirstMeasured)
{
    auto picker = PickerWithFaces({"Alpha"});
    EXPECT_EQ(picker->ItemHeight(), 15);
    EXPECT_EQ(picker->view()->sizeHintForRow(0), 15);
}

struct HeightCase {
    int pixelSize;
    bool belowFloor; // whether the text height + 1 falls under the 10-pixel floor
};

class ItemHeightRule : public ::testing::TestWithParam<HeightCase> {};

TEST_P(ItemHeightRule, FollowsThePickerFont)
{
    const HeightCase& c = GetParam();
    auto picker = PickerWithFaces({"Alpha", "Beta", "Gamma"});
    picker->SelectFontByName("Beta");

    QFont font("Liberation Sans");
    font.setPixelSize(c.pixelSize);
    picker->setFont(font); // the font change measures again

    const int textHeightPx = QFontMetrics(picker->font()).height();
    ASSERT_EQ(textHeightPx + 1 < 10, c.belowFloor) << "pixel size " << c.pixelSize;
    EXPECT_EQ(picker->ItemHeight(), ExpectedItemHeightPx(picker->font()));
    EXPECT_EQ(picker->view()->sizeHintForRow(2), picker->ItemHeight());
    EXPECT_EQ(picker->SelectedFontName(), QString("Beta"));
}

INSTANTIATE_TEST_SUITE_P(Table, ItemHeightRule,
                         ::testing::Values(HeightCase{4, true}, HeightCase{6, true},
                                           HeightCase{11, false}, HeightCase{13, false},
                                           HeightCase{24, false}));

TEST(ItemHeight, PlacedInAWindowTakesItsFont)
{
    QWidget window;
    QFont windowFont("Liberation Sans");
    windowFont.setPointSize(20);
    window.setFont(windowFont);
    TFontComboBox picker(&window, [] { return QStringList{"Alpha"}; });
    picker.ensurePolished();
    EXPECT_EQ(picker.ItemHeight(), ExpectedItemHeightPx(windowFont));
    EXPECT_NE(picker.ItemHeight(), 15);
}

} // namespace
