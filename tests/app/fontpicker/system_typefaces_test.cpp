// The typefaces the picker offers on this system: plain family names once
// each, no generic aliases, and the Windows names fontconfig binds to a face.
#include "fonts/font_substitute.h"
#include "fonts/system_typefaces.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

struct PlainNameCase {
    const char* what;
    QStringList reported;
    QStringList expected;
};

class PlainFamilies : public ::testing::TestWithParam<PlainNameCase> {};

TEST_P(PlainFamilies, DropTheFoundryOfFamiliesFromSeveralFoundries)
{
    const PlainNameCase& c = GetParam();
    EXPECT_EQ(PlainFamilyNames(c.reported), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlainFamilies,
    ::testing::Values(
        PlainNameCase{"two foundries", {"C059 [UKWN]", "C059 [urw]", "DejaVu Sans"}, {"C059", "C059", "DejaVu Sans"}},
        PlainNameCase{"foundry with a blank", {"Nimbus Sans [URW ]", "Nimbus Sans [urw]", "Nimbus Sans [UKWN]"},
                      {"Nimbus Sans", "Nimbus Sans", "Nimbus Sans"}},
        PlainNameCase{"a lone bracketed name is the family's own", {"Odd [Name]", "Plain"}, {"Odd [Name]", "Plain"}},
        PlainNameCase{"one foundry, several families", {"A [urw]", "B [urw]"}, {"A [urw]", "B [urw]"}},
        PlainNameCase{"brackets inside a name", {"A [b] c", "A [b] c"}, {"A [b] c", "A [b] c"}},
        PlainNameCase{"empty report", {}, {}}));

const QStringList kGenericNames{"Sans Serif", "Serif", "Monospace"};

// Whether drawing with the family gives a face of another family.
bool DrawsAnotherFamily(const QString& family)
{
    QFont font;
    font.setFamilies({family});
    return !QFontInfo(font).family().startsWith(family, Qt::CaseInsensitive);
}

// Needs fonts-liberation and fonts-urw-base35 (Nimbus Sans comes from two
// foundries there, and one of them has only italic faces).
TEST(SystemTypefaces, PlainNamesOnlyAndNoGenericAliases)
{
    const QStringList families = SystemFontFamilies();
    ASSERT_FALSE(families.isEmpty());
    for (const QString& family : families) {
        SCOPED_TRACE(family.toStdString());
        EXPECT_FALSE(family.contains(u'[')) << "a foundry in the name";
        EXPECT_FALSE(kGenericNames.contains(family, Qt::CaseInsensitive)) << "a generic alias";
        if (!CommonWindowsFaceNames().contains(family)) {
            EXPECT_FALSE(DrawsAnotherFamily(family)) << "drawn in another family's face";
        }
    }
    for (const QString& generic : kGenericNames) {
        EXPECT_TRUE(QFontDatabase::families().contains(generic)) << "Qt lists " << generic.toStdString();
        EXPECT_TRUE(DrawsAnotherFamily(generic)) << generic.toStdString();
        EXPECT_TRUE(IsGenericFamilyName(generic.toLower())) << generic.toStdString();
    }
    EXPECT_TRUE(families.contains("Nimbus Sans")) << families.join(", ").toStdString();
}

struct WindowsNameCase {
    const char* name;
    const char* face; // the metric-compatible face fontconfig binds to it
};

// Those the machine's font packages (fonts-liberation, fonts-urw-base35) bind.
const WindowsNameCase kBoundHere[] = {
    {"Arial", "Liberation Sans"},
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Palatino Linotype", "P052"},
    {"Bookman Old Style", "URW Bookman"},
};

TEST(SystemTypefaces, WindowsNamesAreEntriesDrawnInTheirBoundFace)
{
    const QStringList families = SystemFontFamilies();
    for (const WindowsNameCase& c : kBoundHere) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(families.contains(c.name));
        EXPECT_EQ(FontSubstituteFamily(c.name), QString::fromUtf8(c.face));
        for (QFont::StyleHint hint : {QFont::AnyStyle, QFont::Serif, QFont::Monospace}) {
            QFont font;
            font.setFamilies({c.name});
            font.setStyleHint(hint);
            EXPECT_TRUE(QFontInfo(font).family().startsWith(QString::fromUtf8(c.face))) << hint;
        }
    }
    // Names fontconfig only falls back for are not bound.
    const QStringList candidates{"Tahoma", "Arial", "Verdana", "Segoe UI", "Helvetica Neue", "Courier New"};
    EXPECT_EQ(BoundWindowsFaceNames(candidates, PlainFamilyNames(QFontDatabase::families())),
              (QStringList{"Arial", "Courier New"}));
}

struct BoundCase {
    const char* what;
    QStringList candidates;
    QStringList installed;
    QStringList expected;
};

class BoundWindowsNames : public ::testing::TestWithParam<BoundCase> {};

TEST_P(BoundWindowsNames, ListsNamesBoundToAnInstalledFace)
{
    const BoundCase& c = GetParam();
    EXPECT_EQ(BoundWindowsFaceNames(c.candidates, c.installed), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BoundWindowsNames,
    ::testing::Values(
        BoundCase{"bound and installed", {"Arial", "Courier New"}, {"Liberation Sans", "Liberation Mono"},
                  {"Arial", "Courier New"}},
        BoundCase{"bound face not in the list", {"Arial"}, {"DejaVu Sans"}, {}},
        BoundCase{"installed under its own name", {"Arial"}, {"arial", "Liberation Sans"}, {}},
        BoundCase{"only a fallback", {"Tahoma"}, {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"}, {}}));

} // namespace
