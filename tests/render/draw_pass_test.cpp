#include "draw/draw_pass.h"
#include "support/test_rows.h"
#include "support/fixed_heading_style.h"
#include "passes/pass_list.h"
#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"
#include "support/recording_surface.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

LayoutSettings WorkedLayout()
{
    LayoutSettings s = SheetLayout(2, 5);
    s.headingLines = {"Line one", "Line two", "Line three", "Line four", "Line five"};
    return s;
}

// The pass of the row with this index, placed in this cell of sheet 1.
RunPass Placed(const PassListRow& row, int passIndex, int cell)
{
    RunPass pass;
    pass.validOn = DecodeValidOnStamp(row.validOnStamp);
    pass.passNumber = PassNumberText(pass.validOn, passIndex);
    pass.barcode = BarcodeText(pass.passNumber, row.lane);
    pass.lane = row.lane;
    pass.sheet = 1;
    pass.cell = cell;
    return pass;
}

struct Fixture {
    QTemporaryDir dir;
    QString bitmap = dir.filePath("code128.bmp");
    FixedHeadingStyle style{false, QStringLiteral("Liberation Serif")};
};

TEST(DrawPlacedPass, EveryItemOfTheFirstCellSitsWhereTheLayoutSays)
{
    Fixture f;
    const LayoutSettings s = WorkedLayout();
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    DrawPlacedPass(surface, {g, s, f.style, f.bitmap}, Placed(Row("03", 3), 1, 1));

    struct Expected {
        const char* text;
        int x;
        int y;
        int height;
        int band;
        const char* face;
    };
    const Expected expected[] = {
        {"Line five", 165, 120, 85, 575, "Liberation Serif"},
        {"Line four", 255, 120, 85, 575, "Liberation Serif"},
        {"Valid: Mar 01 2002", 345, 120, 64, 575, "Liberation Serif"},
        {"25140801", 435, 420, 40, 0, "Arial"},
        {"Line three", 867, 120, 85, 575, "Liberation Serif"},
        {"Line two", 957, 120, 85, 575, "Liberation Serif"},
        {"Line one", 1047, 120, 85, 575, "Liberation Serif"},
    };
    ASSERT_EQ(surface.texts.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& call = surface.texts[i];
        const Expected& e = expected[i];
        EXPECT_EQ(call.text, e.text);
        EXPECT_EQ(call.xPx, e.x) << e.text;
        EXPECT_EQ(call.yPx, e.y) << e.text;
        EXPECT_EQ(call.font.heightPx, e.height) << e.text;
        EXPECT_EQ(call.font.faceName, e.face) << e.text;
        EXPECT_EQ(call.font.escapementTenths, 2700) << e.text;
        EXPECT_EQ(call.clipped, e.band > 0) << e.text;
        if (e.band > 0) {
            EXPECT_EQ(call.clipPx, QRect(e.x - e.height, 120, e.height, e.band)) << e.text;
        }
    }
    ASSERT_EQ(surface.images.size(), 1u);
    EXPECT_EQ(surface.images[0].targetPx.topLeft(), QPoint(435, 207));
}

TEST(DrawPlacedPass, BlankHeadingLinesKeepTheirPlace)
{
    Fixture f;
    LayoutSettings s = WorkedLayout();
    s.headingLines = {"One", "", "Three", " \t ", ""};
    s.headingBold = {false, false, true, false, false};
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    DrawPlacedPass(surface, {g, s, f.style, f.bitmap}, Placed(Row("01", 1), 0, 4));  // at 1275, 720

    ASSERT_EQ(surface.texts.size(), 4u);
    EXPECT_TRUE(surface.texts[0].text.startsWith("Valid: "));
    EXPECT_EQ(surface.texts[0].xPx, 1275 + 270);
    EXPECT_EQ(surface.texts[1].xPx, 1275 + 360);  // pass number
    EXPECT_EQ(surface.texts[2].text, "Three");
    EXPECT_EQ(surface.texts[2].xPx, 1275 + 792);
    EXPECT_EQ(surface.texts[2].font.weight, 700);
    EXPECT_EQ(surface.texts[3].text, "One");
    EXPECT_EQ(surface.texts[3].xPx, 1275 + 972);
    EXPECT_EQ(surface.texts[3].font.weight, 400);
}

TEST(DrawPlacedPass, StyleIsReadForEveryLine)
{
    Fixture f;
    const LayoutSettings s = WorkedLayout();
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    f.style.centred = true;
    f.style.face = "DejaVu Sans";
    DrawPlacedPass(surface, {g, s, f.style, f.bitmap}, Placed(Row("01", 1), 0, 1));
    const int width = surface.textWidthPx("Line five");
    EXPECT_EQ(surface.texts[0].yPx, 120 + 575 / 2 - width / 2);
    EXPECT_EQ(surface.texts[0].font.faceName, "DejaVu Sans");
    EXPECT_EQ(surface.texts[3].yPx, 420);  // the pass number is never centred
}

TEST(DrawPlacedPass, NegativeAdjustmentsOverlapCells)
{
    Fixture f;
    LayoutSettings s = WorkedLayout();
    s.cols = 2;
    s.rows = 2;
    s.rowAdjustPx = -30;
    s.colAdjustPx = 12;
    s.headingLines = {};
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    for (int cell = 1; cell <= 4; ++cell)
        DrawPlacedPass(surface, {g, s, f.style, f.bitmap}, Placed(Row("01", 4), cell - 1, cell));
    ASSERT_EQ(surface.images.size(), 4u);
    EXPECT_EQ(surface.images[1].targetPx.left() - surface.images[0].targetPx.left(), 1200 + 12);
    EXPECT_EQ(surface.images[2].targetPx.top() - surface.images[0].targetPx.top(), 1500 - 30);
}

}  // namespace
