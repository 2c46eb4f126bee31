#include "labelfile/label_file.h"

#include "common/tessary_error.h"
#include "label_test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void ExpectSameValues(const LabelValues& actual, const LabelValues& expected)
{
    EXPECT_EQ(actual.cols, expected.cols);
    EXPECT_EQ(actual.rows, expected.rows);
    EXPECT_EQ(actual.rowAdjust, expected.rowAdjust);
    EXPECT_EQ(actual.colAdjust, expected.colAdjust);
    EXPECT_EQ(actual.font, expected.font);
    EXPECT_EQ(actual.fontSize, expected.fontSize);
    EXPECT_EQ(actual.type, expected.type);
    EXPECT_EQ(actual.center, expected.center);
    EXPECT_EQ(actual.leftMargin, expected.leftMargin);
    EXPECT_EQ(actual.top, expected.top);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(actual.lines[i], expected.lines[i]) << "line " << i + 1;
        EXPECT_EQ(actual.bold[i], expected.bold[i]) << "bold " << i + 1;
    }
}

LabelValues FullValues()
{
    LabelValues v;
    v.cols = "3";
    v.rows = "18";
    v.rowAdjust = "-2";
    v.colAdjust = "5";
    v.font = "Courier New";
    v.fontSize = "1,5";
    v.type = "07";
    v.center = true;
    v.leftMargin = "0.25";
    v.top = "0.5";
    v.lines = {"  \"VIP\"  ", QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC"), "", "'quoted'", "Line = 5"};
    v.bold = {true, false, true, false, true};
    return v;
}

LabelValues SparseValues()
{
    LabelValues v;
    v.cols = "";
    v.type = "";
    v.font = "";
    v.bold = {false, true, false, true, false};
    return v;
}

class LabelRoundTrip : public ::testing::TestWithParam<LabelValues (*)()> {};

TEST_P(LabelRoundTrip, LoadRestoresEverySavedValue)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/passes.lbl";
    const LabelValues saved = GetParam()();
    SaveLabelFile(path, saved);
    ExpectSameValues(LoadLabelFile(path), saved);
    // Saving the same values again changes nothing.
    const QByteArray first = ReadBytes(path);
    SaveLabelFile(path, saved);
    EXPECT_EQ(ReadBytes(path), first);
}

INSTANTIATE_TEST_SUITE_P(Table, LabelRoundTrip, ::testing::Values(&FullValues, &SparseValues, [] { return LabelValues(); }));

TEST(SaveLabelFile, NewFileHoldsTheKeysInOrder)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/new.lbl";
    SaveLabelFile(path, FullValues());
    EXPECT_EQ(ReadBytes(path), QByteArray(
        "[Barcode]\r\nCols=3\r\nRows=18\r\nRowAdjust=-2\r\nColAdjust=5\r\nFont=Courier New\r\n"
        "FontSize=1,5\r\nType=07\r\nCenter=1\r\nmargin=0.25\r\ntop=0.5\r\n"
        "Line 1=\"  \"VIP\"  \"\r\nLine 2=Caf\xC3\xA9 \xE2\x82\xAC\r\nLine 3=\r\nLine 4=\"'quoted'\"\r\n"
        "Line 5=Line = 5\r\nBold 1=1\r\nBold 2=0\r\nBold 3=1\r\nBold 4=0\r\nBold 5=1\r\n"));
}

TEST(SaveLabelFile, KeepsOtherLinesAndTheOrderOfPresentKeys)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/old.lbl";
    ASSERT_TRUE(WriteBytes(path,
        "; label for the north lanes\n"
        "[Printer]\n"
        "Name=Front desk\n"
        "\n"
        "[barcode]\n"
        "Bold 5 = 1\n"
        "Line 1=Old heading\n"
        "Extra=kept\n"
        "Cols=9\n"
        "; end of barcode\n"
        "\n"
        "[Notes]\n"
        "Cols=not ours\n"));
    LabelValues values;
    values.cols = "3";
    values.lines[0] = "New heading";
    SaveLabelFile(path, values);
    EXPECT_EQ(ReadBytes(path), QByteArray(
        "; label for the north lanes\n"
        "[Printer]\n"
        "Name=Front desk\n"
        "\n"
        "[barcode]\n"
        "Bold 5 =0\n"
        "Line 1=New heading\n"
        "Extra=kept\n"
        "Cols=3\n"
        "; end of barcode\n"
        "Rows=20\nRowAdjust=0\nColAdjust=0\nFont=Arial\nFontSize=1.0\nType=A\nCenter=0\nmargin=\ntop=\n"
        "Line 2=\nLine 3=\nLine 4=\nLine 5=\nBold 1=0\nBold 2=0\nBold 3=0\nBold 4=0\n"
        "\n"
        "[Notes]\n"
        "Cols=not ours\n"));
}

TEST(LoadLabelFile, OnlyColsGivesDefaultsForTheRest)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/cols.lbl";
    ASSERT_TRUE(WriteBytes(path, "[Barcode]\r\nCols=2\r\n"));
    LabelValues expected;
    expected.cols = "2";
    ExpectSameValues(LoadLabelFile(path), expected);
}

TEST(LoadLabelFile, MissingFileGivesAllDefaults)
{
    ExpectSameValues(LoadLabelFile("/nonexistent/folder/none.lbl"), LabelValues());
}

TEST(LoadLabelFile, ReadsAFileOfTheWindowsVersion)
{
    // CRLF, Windows-1252 and a quoted value, as written by the Windows program.
    const LabelValues values = LoadLabelFile(TESSARY_TEST_DATA_DIR "/labelfile/windows_cp1252.lbl");
    LabelValues expected;
    expected.cols = "3";
    expected.rows = "18";
    expected.rowAdjust = "-2";
    expected.colAdjust = "1";
    expected.font = "Courier New";
    expected.fontSize = "1.5";
    expected.type = "07";
    expected.center = true;
    expected.leftMargin = "0.25";
    expected.top = "0.5";
    expected.lines = {QString::fromUtf8("Caf\xC3\xA9 Lanes"), "  Adult pass  ", "", "Valid one day", ""};
    expected.bold = {true, false, false, true, false};
    ExpectSameValues(values, expected);
}

TEST(SaveLabelFile, KeepsAWindows1252FileInItsEncoding)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/windows.lbl";
    const QByteArray original = ReadBytes(TESSARY_TEST_DATA_DIR "/labelfile/windows_cp1252.lbl");
    ASSERT_TRUE(WriteBytes(path, original));
    LabelValues values = LoadLabelFile(path);
    values.cols = "4";
    SaveLabelFile(path, values);
    QByteArray expected = original;
    expected.replace("Cols=3\r\n", "Cols=4\r\n");
    EXPECT_EQ(ReadBytes(path), expected);
}

struct BoldCase {
    const char* stored;
    bool on;
};

class LoadBold3 : public ::testing::TestWithParam<BoldCase> {};

TEST_P(LoadBold3, FollowsTheCheckBoxRule)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.path() + "/bold.lbl";
    ASSERT_TRUE(WriteBytes(path, QByteArray("[Barcode]\r\nBold 3=") + GetParam().stored + "\r\n"));
    const LabelValues values = LoadLabelFile(path);
    EXPECT_EQ(values.bold[2], GetParam().on) << GetParam().stored;
    EXPECT_FALSE(values.bold[1]);
    EXPECT_FALSE(values.bold[3]);
}

INSTANTIATE_TEST_SUITE_P(Table, LoadBold3, ::testing::Values(BoldCase{"5", true}, BoldCase{"yes", false},
                                                            BoldCase{"1", true}, BoldCase{"0", false}));

struct UnwritableCase {
    const char* name;
    const char* relativePath; // empty means a path under /proc
};

void PrintTo(const UnwritableCase& c, std::ostream* out) { *out << c.name; }

class SaveUnwritable : public ::testing::TestWithParam<UnwritableCase> {};

TEST_P(SaveUnwritable, ThrowsAndLeavesTheFolderAsItWas)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(WriteBytes(folder.path() + "/plain", "untouched"));
    const QString relative = GetParam().relativePath;
    const QString path = relative.isEmpty() ? "/proc/tessary/labels.lbl" : folder.path() + "/" + relative;
    try {
        SaveLabelFile(path, FullValues());
        ADD_FAILURE() << "no error for " << qPrintable(path);
    } catch (const TessaryError& error) {
        EXPECT_EQ(error.text(), "Unable to write to " + path);
    }
    EXPECT_EQ(ReadBytes(folder.path() + "/plain"), QByteArray("untouched"));
}

INSTANTIATE_TEST_SUITE_P(Table, SaveUnwritable, ::testing::Values(UnwritableCase{"proc", ""},
                                                                 UnwritableCase{"parent is a file", "plain/labels.lbl"},
                                                                 UnwritableCase{"folder", "."}));

struct CheckBoxCase {
    const char* text;
    bool on;
};

class CheckBoxValue : public ::testing::TestWithParam<CheckBoxCase> {};

TEST_P(CheckBoxValue, IsOnForNonZeroNumbers)
{
    EXPECT_EQ(CheckBoxValueIsOn(GetParam().text), GetParam().on) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, CheckBoxValue, ::testing::Values(
    CheckBoxCase{"1", true}, CheckBoxCase{"2", true}, CheckBoxCase{"-1", true}, CheckBoxCase{"5", true},
    CheckBoxCase{"+3", true}, CheckBoxCase{"007", true}, CheckBoxCase{"99999999999", true},
    CheckBoxCase{"$1F", true}, CheckBoxCase{"$0", false}, CheckBoxCase{"-$a", true},
    CheckBoxCase{"0x10", true}, CheckBoxCase{"0X0", false}, CheckBoxCase{"0x", false}, CheckBoxCase{"0xg", false},
    CheckBoxCase{"1F", false}, CheckBoxCase{"$", false}, CheckBoxCase{"-", false}, CheckBoxCase{"0", false},
    CheckBoxCase{"000", false}, CheckBoxCase{"-0", false}, CheckBoxCase{"yes", false}, CheckBoxCase{"", false},
    CheckBoxCase{"1 ", false}, CheckBoxCase{"1.0", false}));

struct LaneCase {
    const char* type;
    int index;
};

class LaneLookup : public ::testing::TestWithParam<LaneCase> {};

TEST_P(LaneLookup, MatchesTheWholeTextIgnoringCase)
{
    const QStringList lanes = {"01", "02", "03", "04", "05", "06", "07", "09"};
    EXPECT_EQ(FindLaneIndex(GetParam().type, lanes), GetParam().index) << GetParam().type;
}

INSTANTIATE_TEST_SUITE_P(Table, LaneLookup, ::testing::Values(
    LaneCase{"07", 6}, LaneCase{"01", 0}, LaneCase{"09", 7}, LaneCase{"08", -1}, LaneCase{"a1", -1},
    LaneCase{"A", -1}, LaneCase{"", -1}, LaneCase{"7", -1}, LaneCase{"070", -1}, LaneCase{" 07", -1}));

TEST(LaneLookup, IgnoresLetterCase)
{
    EXPECT_EQ(FindLaneIndex("vip", {"01", "VIP"}), 1);
}

} // namespace
