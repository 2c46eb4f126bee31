#include "sheet/lenient_number.h"
#include "support/test_rows.h"
#include "sheet/sheet_geometry.h"

#include <gtest/gtest.h>

namespace {

struct IntCase {
    const char* text;
    int expected;
};

TEST(LenientNumber, IntegersAreReadLikeTheWindowsNumberBoxes)
{
    const IntCase cases[] = {
        {"4", 4},          {"  12", 12},    {"-3", -3},    {"+7", 7},     {"$1F", 31},  {"0x10", 16},
        {"0X1f", 31},      {"-$10", -16},   {"", 0},       {" ", 0},      {"4 ", 0},    {"1.5", 0},
        {"abc", 0},        {"$", 0},        {"0x", 0},     {"1e3", 0},    {"2147483647", 2147483647},
        {"2147483648", 0}, {"-2147483648", -2147483647 - 1}, {"99999999999", 0}, {"٣", 0},
    };
    for (const IntCase& c : cases)
        EXPECT_EQ(ParseLenientInt(QString::fromUtf8(c.text)), c.expected) << "text: '" << c.text << "'";
}

TEST(LenientNumber, DecimalsFollowTheLocaleSeparator)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_DOUBLE_EQ(ParseLenientDouble("0.25", 0.0, english), 0.25);
    EXPECT_DOUBLE_EQ(ParseLenientDouble(" 1.5 ", 0.0, english), 1.5);
    EXPECT_DOUBLE_EQ(ParseLenientDouble("0,25", 0.0, german), 0.25);
    EXPECT_DOUBLE_EQ(ParseLenientDouble("0,25", 7.0, english), 7.0);
    EXPECT_DOUBLE_EQ(ParseLenientDouble("", 1.0, english), 1.0);
    EXPECT_DOUBLE_EQ(ParseLenientDouble("big", 1.0, english), 1.0);
    // What QLocale reads but no margin or size factor is.
    for (const char* text : {"inf", "-inf", "nan", "NaN", "1e400", "-1e999"}) {
        EXPECT_DOUBLE_EQ(ParseLenientDouble(text, 0.0, english), 0.0) << text;
        EXPECT_DOUBLE_EQ(ParseLenientDouble(text, 1.0, english), 1.0) << text;
    }
    EXPECT_DOUBLE_EQ(ParseLenientDouble("1e10", 0.0, english), 1e10);
}

LayoutSettings Layout(int cols, int rows, double left, double top, double fontSize = 1.0)
{
    LayoutSettings s = SheetLayout(cols, rows);
    s.leftMarginInches = left;
    s.topMarginInches = top;
    s.fontSizeFactor = fontSize;
    return s;
}

TEST(SheetGeometry, LetterSheetAt300DpiMatchesTheWorkedLayout)
{
    const SheetGeometry g = ComputeSheetGeometry(Layout(2, 5, 0.25, 0.5), 300, 300);
    EXPECT_EQ(g.pageWidthPx, 2550);
    EXPECT_EQ(g.pageHeightPx, 3300);
    EXPECT_EQ(g.leftPx, 75);
    EXPECT_EQ(g.topPx, 150);
    EXPECT_EQ(g.cellWidthPx, 1200);
    EXPECT_EQ(g.cellHeightPx, 600);
    EXPECT_DOUBLE_EQ(g.lineStepPx, 90.0);
    EXPECT_EQ(g.sixthXPx, 50);
    EXPECT_EQ(g.sixthYPx, 50);
    EXPECT_EQ(g.firstRowYPx, 120);
    EXPECT_EQ(g.headingHeightPx, 85);
    EXPECT_EQ(g.validHeightPx, 64);
    EXPECT_EQ(g.numberHeightPx, 40);
    EXPECT_EQ(g.textBandPx, 575);
}

TEST(SheetGeometry, OddResolutionsTruncateEachValue)
{
    // 8.5 x 203 = 1725.5; 203 / 3.5 = 58; cells share what the margins leave.
    const SheetGeometry g = ComputeSheetGeometry(Layout(3, 7, 0.3, 0.0, 1.3), 203, 196);
    EXPECT_EQ(g.pageWidthPx, 1725);
    EXPECT_EQ(g.pageHeightPx, 2156);
    EXPECT_EQ(g.leftPx, 60);  // 60.9
    EXPECT_EQ(g.topPx, 0);
    EXPECT_EQ(g.cellWidthPx, (1725 - 120) / 3);
    EXPECT_EQ(g.cellHeightPx, 2156 / 7);
    EXPECT_EQ(g.firstRowYPx, -19);  // a zero top margin starts above the origin
    EXPECT_DOUBLE_EQ(g.lineStepPx, 40.0);  // 535 / 13.25 = 40.37
    EXPECT_EQ(g.headingHeightPx, 75);      // 1.3 x 58
    EXPECT_EQ(g.validHeightPx, 43);
    EXPECT_EQ(g.numberHeightPx, 27);
    EXPECT_EQ(g.textBandPx, 2156 / 7 - 16);
}

TEST(SheetGeometry, UsableOnlyWithRowsCellsAndRoomForThem)
{
    struct Case {
        int entryRows;
        LayoutSettings layout;
        bool usable;
    };
    const Case cases[] = {
        {1, Layout(2, 5, 0.25, 0.5), true},
        {0, Layout(2, 5, 0.25, 0.5), false},
        {1, Layout(0, 5, 0.25, 0.5), false},
        {1, Layout(-2, 5, 0.25, 0.5), false},
        {1, Layout(2, 0, 0.25, 0.5), false},
        {1, Layout(1, 1, 4.24, 5.49), true},
        {1, Layout(1, 1, 4.25, 0.0), false},  // no width left
        {1, Layout(1, 1, 0.0, 5.5), false},   // no height left
        {1, Layout(2551, 1, 0.0, 0.0), false},
    };
    for (const Case& c : cases) {
        const SheetGeometry g = ComputeSheetGeometry(c.layout, 300, 300);
        EXPECT_EQ(LayoutUsable(c.entryRows, c.layout, g), c.usable)
            << c.entryRows << " rows, " << c.layout.cols << "x" << c.layout.rows << " margins "
            << c.layout.leftMarginInches << "/" << c.layout.topMarginInches;
    }
}

TEST(SheetGeometry, NoCellSizeWithoutCells)
{
    const SheetGeometry g = ComputeSheetGeometry(Layout(0, 0, 0.25, 0.5), 300, 300);
    EXPECT_EQ(g.cellWidthPx, 0);
    EXPECT_EQ(g.cellHeightPx, 0);
}

}  // namespace
