#include "draw/pass_walk.h"
#include "passes/valid_on_stamp.h"
#include "support/recording_surface.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FixedStyle : public HeadingStyleSource {
public:
    bool Centred() const override { return centred; }
    QString FaceName() const override { return face; }
    bool centred = false;
    QString face = QStringLiteral("Liberation Serif");
};

PassListRow Row(const QString& lane, int quantity, QTime time = QTime(12, 0))
{
    PassListRow row;
    row.lane = lane;
    row.validOnStamp = EncodeValidOnStamp(QDate(2002, 3, 1), time);
    row.quantityText = QString::number(quantity);
    return row;
}

LayoutSettings WorkedLayout()
{
    LayoutSettings s;
    s.cols = 2;
    s.rows = 5;
    s.leftMarginInches = 0.25;
    s.topMarginInches = 0.5;
    s.headingLines = {"Line one", "Line two", "Line three", "Line four", "Line five"};
    return s;
}

struct Fixture {
    QTemporaryDir dir;
    QString bitmap = dir.filePath("code128.bmp");
    FixedStyle style;
};

TEST(DrawPass, EveryItemOfTheFirstCellSitsWhereTheLayoutSays)
{
    Fixture f;
    const LayoutSettings s = WorkedLayout();
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    DrawPass(surface, {g, s, f.style, f.bitmap}, g.leftPx, g.firstRowYPx, Row("03", 3), 1);

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

TEST(DrawPass, BlankHeadingLinesKeepTheirPlace)
{
    Fixture f;
    LayoutSettings s = WorkedLayout();
    s.headingLines = {"One", "", "Three", " \t ", ""};
    s.headingBold = {false, false, true, false, false};
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    DrawPass(surface, {g, s, f.style, f.bitmap}, 1275, 720, Row("01", 1), 0);

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

TEST(DrawPass, StyleIsReadForEveryLine)
{
    Fixture f;
    const LayoutSettings s = WorkedLayout();
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    f.style.centred = true;
    f.style.face = "DejaVu Sans";
    DrawPass(surface, {g, s, f.style, f.bitmap}, 75, 120, Row("01", 1), 0);
    const int width = surface.textWidthPx("Line five");
    EXPECT_EQ(surface.texts[0].yPx, 120 + 575 / 2 - width / 2);
    EXPECT_EQ(surface.texts[0].font.faceName, "DejaVu Sans");
    EXPECT_EQ(surface.texts[3].yPx, 420);  // the pass number is never centred
}

TEST(DrawPass, UndecodableStampStopsBeforeDrawing)
{
    Fixture f;
    const LayoutSettings s = WorkedLayout();
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    PassListRow row = Row("01", 1);
    row.validOnStamp = EncodeValidOnStamp(QDate(1979, 6, 1), QTime(9, 0));
    try {
        DrawPass(surface, {g, s, f.style, f.bitmap}, 75, 120, row, 0);
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Invalid argument to date encode");
    }
    EXPECT_TRUE(surface.texts.empty());
    EXPECT_TRUE(surface.images.empty());
}

// Cells are identified by where their pass number is drawn.
struct WalkRecord {
    std::vector<std::vector<std::pair<QPoint, QString>>> sheets{1};
};

WalkRecord Walk(const std::vector<PassListRow>& rows, int cols, int rowsDown, std::function<bool(int)> stopAtPage = {})
{
    Fixture f;
    LayoutSettings s = WorkedLayout();
    s.cols = cols;
    s.rows = rowsDown;
    s.headingLines = {};
    const SheetGeometry g = ComputeSheetGeometry(s, 300, 300);
    RecordingSurface surface;
    WalkRecord record;
    std::size_t seen = 0;
    const auto collect = [&] {
        for (; seen < surface.texts.size(); ++seen) {
            const auto& t = surface.texts[seen];
            if (!t.text.startsWith("Valid"))
                record.sheets.back().push_back({QPoint(t.xPx, t.yPx), t.text});
        }
    };
    bool stop = false;
    WalkControl control;
    control.newPage = [&] {
        collect();
        record.sheets.emplace_back();
        if (stopAtPage)
            stop = stopAtPage(int(record.sheets.size()));
    };
    control.stopRequested = [&] { return stop; };
    WalkPasses(surface, {g, s, f.style, f.bitmap}, rows, control);
    collect();
    return record;
}

TEST(WalkPasses, RowsFillCellsInOrderAcrossSheets)
{
    const auto record = Walk({Row("03", 3), Row("05", 2, QTime(13, 0))}, 2, 2);
    ASSERT_EQ(record.sheets.size(), 2u);  // one page change
    const std::vector<std::pair<QPoint, QString>> sheet1 = {
        {{435, 420}, "25140800"}, {{435 + 1200, 420}, "25140801"},
        {{435, 420 + 1500}, "25140802"}, {{435 + 1200, 420 + 1500}, "25144400"}};
    EXPECT_EQ(record.sheets[0], sheet1);
    const std::vector<std::pair<QPoint, QString>> sheet2 = {{{435, 420}, "25144401"}};
    EXPECT_EQ(record.sheets[1], sheet2);
}

TEST(WalkPasses, ExactlyFilledSheetsAskForNoExtraPage)
{
    EXPECT_EQ(Walk({Row("01", 8)}, 2, 2).sheets.size(), 2u);
    EXPECT_EQ(Walk({Row("01", 4)}, 2, 2).sheets.size(), 1u);
    EXPECT_EQ(Walk({Row("01", 5), Row("02", 3)}, 2, 2).sheets.size(), 2u);
    EXPECT_EQ(Walk({Row("01", 9)}, 2, 2).sheets.size(), 3u);
}

TEST(WalkPasses, StopDuringAPageChangeLeavesTheNewSheetEmpty)
{
    const auto record = Walk({Row("01", 8)}, 2, 2, [](int sheet) { return sheet == 2; });
    ASSERT_EQ(record.sheets.size(), 2u);
    EXPECT_EQ(record.sheets[0].size(), 4u);
    EXPECT_TRUE(record.sheets[1].empty());
}

TEST(WalkPasses, RowsWithoutPassesAreSkippedWithoutPageChanges)
{
    PassListRow empty = Row("02", 0);
    empty.quantityText.clear();
    PassListRow negative = Row("04", 0);
    negative.quantityText = "-1";
    PassListRow letters = Row("06", 0);
    letters.quantityText = "x";

    const auto record = Walk({empty, Row("01", 1), negative, letters, Row("03", 2, QTime(8, 0))}, 2, 1);
    ASSERT_EQ(record.sheets.size(), 2u);
    ASSERT_EQ(record.sheets[0].size(), 2u);
    EXPECT_EQ(record.sheets[0][0].second, "25140800");
    EXPECT_EQ(record.sheets[0][1].second, "25126400");
    ASSERT_EQ(record.sheets[1].size(), 1u);
    EXPECT_EQ(record.sheets[1][0].second, "25126401");

    const auto nothing = Walk({empty, negative, letters}, 2, 2);
    EXPECT_EQ(nothing.sheets.size(), 1u);
    EXPECT_TRUE(nothing.sheets[0].empty());
}

TEST(WalkPasses, NegativeAdjustmentsOverlapCells)
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
    WalkControl control;
    control.newPage = [] {};
    WalkPasses(surface, {g, s, f.style, f.bitmap}, {Row("01", 4)}, control);
    ASSERT_EQ(surface.images.size(), 4u);
    EXPECT_EQ(surface.images[1].targetPx.left() - surface.images[0].targetPx.left(), 1200 + 12);
    EXPECT_EQ(surface.images[2].targetPx.top() - surface.images[0].targetPx.top(), 1500 - 30);
}

TEST(SheetsNeeded, CountsWholeSheetsRoundedUp)
{
    struct Case {
        std::vector<int> quantities;
        int cols, rows, sheets;
    };
    const Case cases[] = {
        {{8}, 2, 2, 2}, {{5}, 2, 2, 2}, {{6}, 2, 2, 2}, {{4}, 2, 2, 1}, {{3, 2}, 2, 2, 2},
        {{}, 2, 2, 0},  {{0, -3}, 2, 2, 0}, {{5}, 0, 2, 0}, {{5}, 2, -1, 0}, {{99}, 4, 20, 2},
    };
    for (const Case& c : cases) {
        std::vector<PassListRow> rows;
        for (int q : c.quantities)
            rows.push_back(Row("01", q));
        EXPECT_EQ(SheetsNeeded(rows, c.cols, c.rows), c.sheets) << c.cols << "x" << c.rows;
    }
}

}  // namespace
