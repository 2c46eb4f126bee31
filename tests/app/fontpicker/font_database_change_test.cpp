#include "font_picker_test_support.h"

#include <QFile>
#include <QFontDatabase>

#include <gtest/gtest.h>

namespace {

// A TrueType face that Debian's qt6-base-dev ships for its documentation
// and that fontconfig does not register, so only the application adds it.
const QString kExtraFontFile = QStringLiteral("/usr/share/qt6/doc/global/template/style/icomoon.ttf");
const QString kExtraFamily = QStringLiteral("icomoon");

struct DatabaseChangeCase {
    const char* what;
    QString chosenBeforeAdding;
    QString chosenBeforeRemoving;
    QString expectedAfterRemoving;
};

class FontDatabaseChange : public ::testing::TestWithParam<DatabaseChangeCase> {};

TEST_P(FontDatabaseChange, RebuildsAndKeepsTheChoice)
{
    const DatabaseChangeCase& c = GetParam();
    ASSERT_TRUE(QFile::exists(kExtraFontFile)) << "qt6-base-dev font missing";
    ASSERT_FALSE(QFontDatabase::families().contains(kExtraFamily));

    TFontComboBox picker;
    picker.setOptions(WindowPickerOptions());
    ASSERT_EQ(picker.findText(kExtraFamily), -1);
    picker.SelectFontByName(c.chosenBeforeAdding);
    ASSERT_EQ(picker.SelectedFontName(), c.chosenBeforeAdding);

    const int fontId = QFontDatabase::addApplicationFont(kExtraFontFile);
    ASSERT_NE(fontId, -1);
    ASSERT_EQ(QFontDatabase::applicationFontFamilies(fontId), QStringList{kExtraFamily});
    EXPECT_GE(picker.findText(kExtraFamily, Qt::MatchExactly | Qt::MatchCaseSensitive), 0) << c.what;
    EXPECT_EQ(picker.count(), UniqueIgnoringCase(SystemFontFamilies()).size()) << c.what;
    EXPECT_EQ(picker.SelectedFontName(), c.chosenBeforeAdding) << c.what;

    picker.SelectFontByName(c.chosenBeforeRemoving);
    ASSERT_EQ(picker.SelectedFontName(), c.chosenBeforeRemoving) << c.what;
    ASSERT_TRUE(QFontDatabase::removeApplicationFont(fontId));
    EXPECT_EQ(picker.findText(kExtraFamily), -1) << c.what;
    EXPECT_EQ(picker.SelectedFontName(), c.expectedAfterRemoving) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FontDatabaseChange,
    ::testing::Values(
        DatabaseChangeCase{"system face stays", "Liberation Serif", "Liberation Serif", "Liberation Serif"},
        DatabaseChangeCase{"nothing chosen", "", "", ""},
        DatabaseChangeCase{"other system face", "", "DejaVu Sans Mono", "DejaVu Sans Mono"},
        DatabaseChangeCase{"removed face is cleared", "Liberation Serif", kExtraFamily, ""}));

} // namespace
