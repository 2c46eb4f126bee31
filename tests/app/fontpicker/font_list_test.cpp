#include "font_picker_test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct ListCase {
    const char* what;
    QStringList reported;
    QStringList expected;
};

class FontListBuild : public ::testing::TestWithParam<ListCase> {};

TEST_P(FontListBuild, SortsAndDropsCaseDuplicates)
{
    const ListCase& c = GetParam();
    auto picker = PickerWithFaces(c.reported);
    EXPECT_EQ(Entries(*picker), c.expected) << c.what;
    EXPECT_EQ(picker->currentIndex(), -1) << c.what;
    EXPECT_EQ(picker->SelectedFontName(), QString()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FontListBuild,
    ::testing::Values(
        ListCase{"case duplicates, first spelling wins",
                 {"beta", "Alpha", "ALPHA", "gamma", "Beta"}, {"Alpha", "beta", "gamma"}},
        ListCase{"reported twice", {"Serif", "Mono", "Serif"}, {"Mono", "Serif"}},
        ListCase{"reverse order", {"Zeta", "Omega", "Delta", "alpha"},
                 {"alpha", "Delta", "Omega", "Zeta"}},
        ListCase{"case does not decide order", {"b", "A", "a2", "B1"}, {"A", "a2", "b", "B1"}},
        ListCase{"accented case variants are one face", {"école", "ÉCOLE"}, {"école"}},
        ListCase{"empty report", {}, {}}));

TEST(FontList, EmptyListLeavesPickerUsable)
{
    auto picker = PickerWithFaces({});
    EXPECT_EQ(picker->count(), 0);
    for (const QString name : {"Arial", "", "Liberation Sans"}) {
        picker->SelectFontByName(name);
        EXPECT_EQ(picker->SelectedFontName(), QString()) << name.toStdString();
        EXPECT_EQ(picker->currentIndex(), -1);
    }
}

TEST(FontList, FailingSourceLeavesPickerEmpty)
{
    TFontComboBox picker(nullptr, []() -> QStringList { throw std::runtime_error("no printer"); });
    EXPECT_NO_THROW(picker.setOptions(WindowPickerOptions()));
    EXPECT_EQ(picker.count(), 0);
    EXPECT_EQ(picker.SelectedFontName(), QString());
}

TEST(FontList, StartsEmptyWithDefaultOptions)
{
    int enumerations = 0;
    TFontComboBox picker(nullptr, [&] { ++enumerations; return QStringList{"Alpha"}; });
    EXPECT_EQ(picker.count(), 0);
    EXPECT_EQ(enumerations, 0);
    EXPECT_TRUE(picker.Options() == (TFontCBOptions{TFontCBOption::foScreenFonts,
                                                     TFontCBOption::foDisplaySymbol,
                                                     TFontCBOption::foDisplaySelectedFont}));
}

TEST(FontList, SettingTheSameOptionsDoesNothing)
{
    int enumerations = 0;
    QStringList faces{"Alpha", "Beta"};
    TFontComboBox picker(nullptr, [&] { ++enumerations; return faces; });
    picker.setOptions(WindowPickerOptions());
    ASSERT_EQ(enumerations, 1);
    picker.SelectFontByName("Beta");
    faces = QStringList{"Gamma"};
    picker.setOptions(WindowPickerOptions());
    EXPECT_EQ(enumerations, 1);
    EXPECT_EQ(Entries(picker), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(picker.SelectedFontName(), QString("Beta"));
}

struct OptionChangeCase {
    const char* what;
    TFontCBOptions next;
    QStringList facesAfter;
    QStringList expectedEntries;
    QString expectedSelection;
};

class OptionChange : public ::testing::TestWithParam<OptionChangeCase> {};

TEST_P(OptionChange, RebuildsAndReselects)
{
    const OptionChangeCase& c = GetParam();
    QStringList faces{"Alpha", "Beta", "Gamma"};
    TFontComboBox picker(nullptr, [&] { return faces; });
    picker.setOptions(WindowPickerOptions());
    picker.SelectFontByName("Beta");
    ASSERT_EQ(picker.SelectedFontName(), QString("Beta"));

    faces = c.facesAfter;
    picker.setOptions(c.next);
    EXPECT_EQ(Entries(picker), c.expectedEntries) << c.what;
    EXPECT_EQ(picker.SelectedFontName(), c.expectedSelection) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, OptionChange,
    ::testing::Values(
        OptionChangeCase{"screen fonts instead, face still offered",
                         {TFontCBOption::foScreenFonts, TFontCBOption::foDisplayFont},
                         {"Beta", "Delta"}, {"Beta", "Delta"}, "Beta"},
        OptionChangeCase{"face no longer offered",
                         {TFontCBOption::foPrinterFonts}, {"Delta"}, {"Delta"}, ""},
        OptionChangeCase{"no font source chosen",
                         {TFontCBOption::foDisplayFont}, {"Alpha", "Beta"}, {}, ""}));

TEST(FontList, TrueTypeOnlyKeepsOutlineFaces)
{
    // Liberation Sans is an outline face on this system; the made-up name is
    // not known to the font database and so is not TrueType.
    TFontComboBox picker(nullptr, [] { return QStringList{"Liberation Sans", "Zzqx Unknown"}; });
    picker.setOptions({TFontCBOption::foPrinterFonts});
    EXPECT_EQ(Entries(picker), (QStringList{"Liberation Sans", "Zzqx Unknown"}));
    EXPECT_EQ(picker.itemData(0, TFontComboBox::FontTypeRole).toInt(), TFontComboBox::TrueTypeFontType);

    picker.setOptions({TFontCBOption::foPrinterFonts, TFontCBOption::foTrueTypeOnly});
    EXPECT_EQ(Entries(picker), (QStringList{"Liberation Sans"}));
}

TEST(FontList, SystemSourceListsEachTypefaceOnce)
{
    TFontComboBox picker;
    picker.setOptions(WindowPickerOptions());
    const QStringList families = SystemFontFamilies();
    ASSERT_FALSE(families.isEmpty());
    EXPECT_EQ(picker.count(), UniqueIgnoringCase(families).size());
    for (const QString& family : families)
        EXPECT_GE(picker.findText(family, Qt::MatchFixedString), 0) << family.toStdString();
    const QStringList entries = Entries(picker);
    for (int i = 1; i < entries.size(); ++i)
        EXPECT_LT(QString::compare(entries[i - 1], entries[i], Qt::CaseInsensitive), 0);
}

} // namespace
