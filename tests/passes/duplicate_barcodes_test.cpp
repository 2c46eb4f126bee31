#include "passes/duplicate_barcodes.h"
#include "support/test_rows.h"
#include "passes/run_passes.h"
#include "passes/valid_on_stamp.h"
#include "support/sheet_pieces.h"

#include <gtest/gtest.h>

namespace {

const QDate kDay(2026, 3, 4);

// The passes a run of the rows prints, one pass a sheet: sheet n holds pass n - 1.
DuplicateBarcodes FoundOnSheets(const std::vector<PassListRow>& rows, const SheetRange& sheets = {})
{
    return FindDuplicateBarcodes(PlacePasses(rows, 1, 1, 1, sheets).passes);
}

struct DuplicateCase {
    const char* what;
    std::vector<PassListRow> rows;
    SheetRange sheets;
    int repeated, firstRow, secondRow;
    const char* lane;
};

TEST(FindDuplicateBarcodes, CountsPassesThatRepeatAnEarlierBarcode)
{
    const QTime noon(12, 0);
    const DuplicateCase cases[] = {
        {"same lane, same instant", {Row("03", 3, noon, kDay), Row("03", 2, noon, kDay)}, {}, 2, 1, 2, "03"},
        {"different lanes", {Row("03", 3, noon, kDay), Row("04", 2, noon, kDay)}, {}, 0, 0, 0, ""},
        // Serials count seconds; two seconds apart, a row of 3 reaches the next row's first number.
        {"two seconds apart, 3 passes", {Row("03", 3, noon, kDay), Row("03", 3, QTime(12, 0, 2), kDay)}, {}, 1, 1,
         2, "03"},
        {"as far apart as the quantity", {Row("03", 2, noon, kDay), Row("03", 2, QTime(12, 0, 2), kDay)}, {}, 0, 0,
         0, ""},
        // The serial restarts every two years.
        {"two years apart", {Row("05", 1, noon, QDate(2026, 1, 10)), Row("05", 1, noon, QDate(2028, 1, 10))}, {}, 1,
         1, 2, "05"},
        {"an empty row between", {Row("03", 2, noon, kDay), Row("03", 0, noon, kDay), Row("03", 2, noon, kDay)}, {},
         2, 1, 3, "03"},
        // Only the passes of the sheets that print count: sheets 4 and 5 hold the second row's.
        {"range holds only the second row", {Row("03", 3, noon, kDay), Row("03", 2, noon, kDay)}, {4, 5}, 0, 0, 0,
         ""},
        {"range holds one of each", {Row("03", 3, noon, kDay), Row("03", 2, noon, kDay)}, {3, 4}, 0, 0, 0, ""},
        {"range holds two of each", {Row("03", 3, noon, kDay), Row("03", 2, noon, kDay)}, {1, 4}, 1, 1, 2, "03"},
        // A list of pieces: the sheet between them prints nothing, so neither does its barcode.
        {"pieces around the second pass", {Row("03", 3, noon, kDay), Row("03", 2, noon, kDay)},
         Pieces({{1, 1}, {3, 3}, {5, 5}}), 0, 0, 0, ""},
        {"pieces that hold both first passes", {Row("03", 3, noon, kDay), Row("03", 2, noon, kDay)},
         Pieces({{1, 1}, {4, 4}}), 1, 1, 2, "03"},
    };
    for (const DuplicateCase& c : cases) {
        const DuplicateBarcodes found = FoundOnSheets(c.rows, c.sheets);
        EXPECT_EQ(found.repeatedPasses, c.repeated) << c.what;
        EXPECT_EQ(found.firstRow, c.firstRow) << c.what;
        EXPECT_EQ(found.secondRow, c.secondRow) << c.what;
        EXPECT_EQ(found.lane, QString::fromLatin1(c.lane)) << c.what;
    }
}

TEST(FindDuplicateBarcodes, AskTheOperatorInTheirWords)
{
    const QTime noon(12, 0);
    const DuplicateBarcodes found = FoundOnSheets({Row("03", 3, noon, kDay), Row("03", 2, noon, kDay)});
    EXPECT_EQ(DuplicateBarcodesQuestion(found),
              "2 passes of this run would carry the same barcode as another pass (rows 1 and 2, lane 03). "
              "Print anyway?");
}

TEST(FindDuplicateBarcodes, AnUndecodableStampIsTheRunsOwnError)
{
    PassListRow bad = Row("03", 1, QTime(12, 0), kDay);
    bad.validOnStamp = 0;
    EXPECT_THROW(FoundOnSheets({bad}), std::exception);
}

}  // namespace
