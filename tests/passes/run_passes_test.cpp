// Which pass lands on which sheet and cell, and which sheet each page holds.
#include "passes/run_passes.h"
#include "support/test_rows.h"
#include "passes/valid_on_stamp.h"

#include <gtest/gtest.h>

namespace {

// "sheet.cell:number" for every pass placed, in order.
std::vector<std::string> Placed(const PlacedPasses& placed)
{
    std::vector<std::string> out;
    for (const RunPass& pass : placed.passes)
        out.push_back(std::to_string(pass.sheet) + "." + std::to_string(pass.cell) + ":" + pass.passNumber.toStdString());
    return out;
}

TEST(PlacePasses, RowsFillCellsInOrderAndRowsWithoutPassesTakeNone)
{
    struct Case {
        const char* what;
        std::vector<PassListRow> rows;
        int cols, rowsDown;
        std::vector<std::string> placed;
        std::vector<int> sheets;
        int sheetsOfFullRun;
    };
    const Case cases[] = {
        {"two rows over two sheets", {Row("03", "3"), Row("05", "2", QTime(13, 0))}, 2, 2,
         {"1.1:25140800", "1.2:25140801", "1.3:25140802", "1.4:25144400", "2.1:25144401"}, {1, 2}, 2},
        {"an exactly filled sheet asks for no other", {Row("01", "4")}, 2, 2,
         {"1.1:25140800", "1.2:25140801", "1.3:25140802", "1.4:25140803"}, {1}, 1},
        {"empty, negative and letters take no cell",
         {Row("02", ""), Row("01", "1"), Row("04", "-1"), Row("06", "x"), Row("03", "2", QTime(8, 0))}, 2, 1,
         {"1.1:25140800", "1.2:25126400", "2.1:25126401"}, {1, 2}, 2},
        {"no row with a pass", {Row("02", ""), Row("04", "0")}, 2, 2, {}, {}, 0},
        {"no cell across", {Row("01", "5")}, 0, 2, {}, {}, 0},
        {"a negative count down", {Row("01", "5")}, 2, -1, {}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PlacedPasses placed = PlacePasses(c.rows, c.cols, c.rowsDown, 1, SheetRange());
        EXPECT_EQ(Placed(placed), c.placed);
        EXPECT_EQ(placed.sheets, c.sheets);
        EXPECT_EQ(placed.sheetsOfFullRun, c.sheetsOfFullRun);
    }
}

TEST(PlacePasses, AStampIsReadOnlyForARowThatPrints)
{
    PassListRow old = Row("01", "4");
    old.validOnStamp = EncodeValidOnStamp(QDate(1979, 12, 31), QTime(9, 0));
    const std::vector<PassListRow> rows = {old, Row("02", "4")};
    // Sheet 2 holds only the second row: the first row's stamp is never read.
    EXPECT_EQ(PlacePasses(rows, 2, 2, 1, SheetRange(2, 2)).passes.size(), 4u);
    EXPECT_THROW(PlacePasses(rows, 2, 2, 1, SheetRange()), std::exception);
}

TEST(RunPages, CopiesRepeatTheSheetsCollatedOrEachInARow)
{
    struct Case {
        std::vector<int> sheets;
        RunCopies copies;
        std::vector<int> pages;
    };
    const Case cases[] = {
        {{1, 3}, {1, true}, {1, 3}},
        {{1, 3}, {2, true}, {1, 3, 1, 3}},
        {{1, 3}, {2, false}, {1, 1, 3, 3}},
        {{2}, {3, false}, {2, 2, 2}},
        {{1, 2}, {0, true}, {1, 2}},  // no copy asked for is one
        {{}, {3, true}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunPages(c.sheets, c.copies), c.pages) << c.copies.count << (c.copies.collate ? " collated" : "");
}

}  // namespace
