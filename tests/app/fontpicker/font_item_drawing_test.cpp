#include "font_picker_test_support.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionViewItem>

#include <gtest/gtest.h>

namespace {

const QColor kUntouched(1, 2, 3);
const QString kMono = QStringLiteral("Liberation Mono");

QFont PickerFont()
{
    QFont font("DejaVu Sans");
    font.setPixelSize(20);
    return font;
}

std::unique_ptr<TFontComboBox> DrawingPicker(TFontCBOptions options)
{
    auto picker = std::make_unique<TFontComboBox>(nullptr, [] {
        return QStringList{kMono, "DejaVu Sans"};
    });
    picker->setOptions(options);
    picker->setFont(PickerFont());
    return picker;
}

// The box around every pixel that differs from the background.
QRect InkBounds(const QImage& image, const QRect& area, QRgb background)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != background)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

bool HasPixel(const QImage& image, const QRect& area, QRgb colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

QImage DrawRow(TFontComboBox& picker, int row, const QRect& rectPx, QStyle::State state)
{
    QImage image(300, 80, QImage::Format_RGB32);
    image.fill(kUntouched);
    QStyleOptionViewItem option;
    option.rect = rectPx;
    option.state = state;
    QPainter painter(&image);
    picker.view()->itemDelegate()->paint(&painter, option, picker.model()->index(row, 0));
    return image;
}

struct RowStateCase {
    const char* what;
    QStyle::State state;
    QPalette::ColorGroup group;
    QPalette::ColorRole background;
    QPalette::ColorRole text;
};

class EntryDrawing : public ::testing::TestWithParam<RowStateCase> {};

TEST_P(EntryDrawing, FillsWritesAndClips)
{
    const RowStateCase& c = GetParam();
    auto picker = DrawingPicker(WindowPickerOptions());
    const QRect rectPx(20, 10, 120, picker->ItemHeight());
    const QImage image = DrawRow(*picker, picker->findText(kMono), rectPx, c.state);

    const QRgb background = picker->palette().color(QPalette::Active, c.background).rgb();
    const QRgb text = picker->palette().color(c.group, c.text).rgb();
    ASSERT_NE(background, text) << c.what;
    EXPECT_EQ(image.pixel(rectPx.right(), rectPx.bottom()), background) << c.what;
    EXPECT_EQ(image.pixel(rectPx.left(), rectPx.top()), background) << c.what;
    EXPECT_TRUE(HasPixel(image, rectPx, text)) << c.what;

    const QRect ink = InkBounds(image, rectPx, background);
    ASSERT_FALSE(ink.isEmpty()) << c.what;
    EXPECT_GE(ink.left(), rectPx.left() + 3) << c.what;
    EXPECT_GE(ink.top(), rectPx.top() + 1) << c.what;
    // The name is wider than the entry: it runs to the right edge and stops there.
    EXPECT_EQ(ink.right(), rectPx.right()) << c.what;
    EXPECT_EQ(InkBounds(image, image.rect(), kUntouched.rgb()), rectPx) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EntryDrawing,
    ::testing::Values(
        RowStateCase{"plain", QStyle::State_Enabled, QPalette::Active, QPalette::Base, QPalette::Text},
        RowStateCase{"highlighted", QStyle::State_Enabled | QStyle::State_Selected, QPalette::Active,
                     QPalette::Highlight, QPalette::HighlightedText},
        RowStateCase{"disabled", QStyle::State_None, QPalette::Disabled, QPalette::Base, QPalette::Text}));

struct FaceCase {
    const char* what;
    TFontCBOptions options;
    bool ownFace;
};

class EntryTypeface : public ::testing::TestWithParam<FaceCase> {};

TEST_P(EntryTypeface, ListRowUsesTheEntryFaceWhenAsked)
{
    const FaceCase& c = GetParam();
    auto picker = DrawingPicker(c.options);
    QFont ownFont = PickerFont();
    ownFont.setFamilies({kMono});
    const int ownAdvance = QFontMetrics(ownFont).horizontalAdvance(kMono);
    const int pickerAdvance = QFontMetrics(PickerFont()).horizontalAdvance(kMono);
    ASSERT_GT(qAbs(ownAdvance - pickerAdvance), 10);

    const QRect rectPx(0, 0, 299, picker->ItemHeight());
    const QImage image = DrawRow(*picker, picker->findText(kMono), rectPx, QStyle::State_Enabled);
    const QRect ink = InkBounds(image, rectPx, picker->palette().color(QPalette::Base).rgb());
    const int expected = 3 + (c.ownFace ? ownAdvance : pickerAdvance);
    EXPECT_NEAR(ink.right() + 1, expected, 3) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EntryTypeface,
    ::testing::Values(FaceCase{"own face", {TFontCBOption::foPrinterFonts, TFontCBOption::foDisplayFont}, true},
                      FaceCase{"picker face", {TFontCBOption::foPrinterFonts}, false}));

struct ClosedBoxCase {
    const char* what;
    TFontCBOptions options;
    QString selected;
    bool expectInk;
    bool ownFace;
};

class ClosedBoxDrawing : public ::testing::TestWithParam<ClosedBoxCase> {};

TEST_P(ClosedBoxDrawing, ShowsTheSelectedName)
{
    const ClosedBoxCase& c = GetParam();
    auto picker = DrawingPicker(c.options);
    picker->resize(320, picker->sizeHint().height());
    picker->SelectFontByName(c.selected);
    const QImage image = picker->grab().toImage().convertToFormat(QImage::Format_RGB32);

    QStyleOptionComboBox option;
    option.initFrom(picker.get());
    option.editable = false;
    const QRect fieldPx = picker->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxEditField, picker.get());
    const QRect ink = InkBounds(image, fieldPx, picker->palette().color(QPalette::Base).rgb());
    ASSERT_EQ(!ink.isEmpty(), c.expectInk) << c.what;
    if (!c.expectInk)
        return;
    QFont face = PickerFont();
    if (c.ownFace)
        face.setFamilies({c.selected});
    EXPECT_GE(ink.left(), fieldPx.left() + 3) << c.what;
    EXPECT_NEAR(ink.right() + 1, fieldPx.left() + 3 + QFontMetrics(face).horizontalAdvance(c.selected), 3)
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClosedBoxDrawing,
    ::testing::Values(
        ClosedBoxCase{"nothing selected", WindowPickerOptions(), "", false, false},
        ClosedBoxCase{"selected, own face", WindowPickerOptions(), kMono, true, true},
        ClosedBoxCase{"selected, picker face", {TFontCBOption::foPrinterFonts, TFontCBOption::foDisplayFont},
                      kMono, true, false}));

} // namespace
