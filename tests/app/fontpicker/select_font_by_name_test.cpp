#include "app/fontpicker/font_name_match.h"
#include "font_picker_test_support.h"

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

struct SubstituteCase {
    QString asked;
    QString expected;
};

class SubstituteOnSystemFonts : public ::testing::TestWithParam<SubstituteCase> {};

// Needs fonts-liberation, whose fontconfig aliases stand in for the
// Windows core fonts.
TEST_P(SubstituteOnSystemFonts, SelectsTheFaceTheSystemPrintsInstead)
{
    const SubstituteCase& c = GetParam();
    TFontComboBox picker;
    picker.setOptions(WindowPickerOptions());
    ASSERT_GE(picker.findText("Liberation Sans"), 0) << "fonts-liberation is not installed";
    picker.SelectFontByName("DejaVu Serif");
    ASSERT_EQ(picker.SelectedFontName(), QString("DejaVu Serif"));

    picker.SelectFontByName(c.asked);
    EXPECT_EQ(picker.SelectedFontName(), c.expected) << c.asked.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, SubstituteOnSystemFonts,
    ::testing::Values(SubstituteCase{"Arial", "Liberation Sans"},
                      SubstituteCase{"arial", "Liberation Sans"},
                      SubstituteCase{"Times New Roman", "Liberation Serif"},
                      SubstituteCase{"Courier New", "Liberation Mono"},
                      SubstituteCase{"Arial Narrow", "Liberation Sans Narrow"},
                      SubstituteCase{"NoSuchFace", ""},
                      SubstituteCase{"Zzqx Unknown", ""},
                      // Falls back to the default sans face only: not a substitute.
                      SubstituteCase{"MS Sans Serif", ""},
                      SubstituteCase{"Verdana", ""},
                      SubstituteCase{"", ""}));

TEST(SubstituteOnSystemFonts, UnlistedSubstituteClears)
{
    auto picker = PickerWithFaces({"Alpha", "Beta Sans"});
    picker->SelectFontByName("Alpha");
    picker->SelectFontByName("Arial");
    EXPECT_EQ(picker->SelectedFontName(), QString());
}

} // namespace
