#include "font_picker_test_support.h"
#include "fonts/font_name_match.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

struct MatchCase {
    QString a;
    QString b;
    bool same;
};

class AsciiCaseMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(AsciiCaseMatch, FoldsOnlyLettersAToZ)
{
    const MatchCase& c = GetParam();
    EXPECT_EQ(SameNameIgnoringAsciiCase(c.a, c.b), c.same) << c.a.toStdString() << " / " << c.b.toStdString();
    EXPECT_EQ(SameNameIgnoringAsciiCase(c.b, c.a), c.same);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AsciiCaseMatch,
    ::testing::Values(MatchCase{"Arial", "Arial", true}, MatchCase{"Arial", "aRIAL", true},
                      MatchCase{"AZaz", "azAZ", true}, MatchCase{"École", "école", false},
                      MatchCase{"Straße", "STRASSE", false}, MatchCase{"a[", "A{", false},
                      MatchCase{"a@", "A`", false}, MatchCase{"Arial", "Arial ", false},
                      MatchCase{"", "", true}, MatchCase{"", "A", false}));

struct SelectCase {
    const char* what;
    QString before; // selected first, "" for none
    QString asked;
    QString expected;
};

const QStringList kFaces{"Alpha", "Beta Sans", "école", "MixedCase", "Mono 2"};

class SelectByName : public ::testing::TestWithParam<SelectCase> {};

TEST_P(SelectByName, SelectsTheListedSpellingOrClears)
{
    const SelectCase& c = GetParam();
    auto picker = PickerWithFaces(kFaces);
    picker->SelectFontByName(c.before);
    ASSERT_EQ(picker->SelectedFontName(), c.before) << c.what;

    picker->SelectFontByName(c.asked);
    EXPECT_EQ(picker->SelectedFontName(), c.expected) << c.what;
    EXPECT_EQ(picker->currentText(), c.expected) << c.what;
    const int expectedIndex = c.expected.isEmpty()
        ? -1 : picker->findText(c.expected, Qt::MatchExactly | Qt::MatchCaseSensitive);
    EXPECT_EQ(picker->currentIndex(), expectedIndex) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectByName,
    ::testing::Values(
        SelectCase{"exact name", "", "Beta Sans", "Beta Sans"},
        SelectCase{"lower case gives the entry's spelling", "", "mixedcase", "MixedCase"},
        SelectCase{"upper case gives the entry's spelling", "Alpha", "BETA SANS", "Beta Sans"},
        SelectCase{"accented letter in other case does not match", "Alpha", "ÉCOLE", ""},
        SelectCase{"accented name, exact", "", "école", "école"},
        SelectCase{"accented name, ASCII letters folded", "", "éCOLE", "école"},
        SelectCase{"empty name clears", "Beta Sans", "", ""},
        SelectCase{"empty name with nothing selected", "", "", ""},
        SelectCase{"unknown name clears", "Mono 2", "Gamma", ""},
        SelectCase{"trailing blank is another name", "Alpha", "Alpha ", ""},
        SelectCase{"prefix is another name", "Alpha", "Mono", ""}));

TEST(SelectByName, SameNameChangesNothing)
{
    auto picker = PickerWithFaces(kFaces);
    picker->SelectFontByName("MixedCase");
    QSignalSpy changes(picker.get(), &QComboBox::currentIndexChanged);
    picker->SelectFontByName("MixedCase");
    picker->SelectFontByName("mixedcase");
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(picker->SelectedFontName(), QString("MixedCase"));
}

struct SystemNameCase {
    QString asked;
    QString expected;
};

class SelectOnSystemFonts : public ::testing::TestWithParam<SystemNameCase> {};

// Needs fonts-liberation, whose fontconfig aliases bind the Windows core font
// names to metric-compatible faces. A Windows name is an entry of its own and
// is selected as such; a name the list lacks clears, whatever face the font
// system would draw for it.
TEST_P(SelectOnSystemFonts, SelectsTheEntryOfThatNameOrClears)
{
    const SystemNameCase& c = GetParam();
    TFontComboBox picker;
    picker.setOptions(WindowPickerOptions());
    ASSERT_GE(picker.findText("Liberation Sans"), 0) << "fonts-liberation is not installed";
    picker.SelectFontByName("DejaVu Serif");
    ASSERT_EQ(picker.SelectedFontName(), QString("DejaVu Serif"));

    picker.SelectFontByName(c.asked);
    EXPECT_EQ(picker.SelectedFontName(), c.expected) << c.asked.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectOnSystemFonts,
    ::testing::Values(SystemNameCase{"Arial", "Arial"},
                      SystemNameCase{"arial", "Arial"},
                      SystemNameCase{"ARIAL NARROW", "Arial Narrow"},
                      SystemNameCase{"Times New Roman", "Times New Roman"},
                      SystemNameCase{"courier new", "Courier New"},
                      SystemNameCase{"Liberation Sans", "Liberation Sans"},
                      SystemNameCase{"nimbus sans", "Nimbus Sans"},
                      SystemNameCase{"NoSuchFace", ""},
                      SystemNameCase{"Zzqx Unknown", ""},
                      // Drawn in another face by the font system, but no entry.
                      SystemNameCase{"Helvetica", ""},
                      SystemNameCase{"Tahoma", ""},
                      SystemNameCase{"Verdana", ""},
                      SystemNameCase{"MS Sans Serif", ""},
                      SystemNameCase{"Sans Serif", ""},
                      SystemNameCase{"Nimbus Sans [urw]", ""},
                      SystemNameCase{"\u00E9clair serif", ""},
                      SystemNameCase{"", ""}));

TEST(SelectOnSystemFonts, UnlistedWindowsNameClears)
{
    auto picker = PickerWithFaces({"Alpha", "Beta Sans", "Liberation Sans"});
    picker->SelectFontByName("Alpha");
    picker->SelectFontByName("Arial");
    EXPECT_EQ(picker->SelectedFontName(), QString());
}

} // namespace
