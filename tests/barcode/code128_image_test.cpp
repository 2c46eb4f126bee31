#include "barcode/code128_image.h"

#include "barcode/mono_bmp.h"
#include "zint_reference.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

QByteArray QtBmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

struct GeometryCase {
    bool downThePage;
    int barHeightPx;
    int moduleWidthPx;
};

void PrintTo(const GeometryCase& c, std::ostream* os)
{
    *os << (c.downThePage ? "down" : "across") << " bar " << c.barHeightPx << " module " << c.moduleWidthPx;
}

class Code128ImageAsZint : public testing::TestWithParam<std::tuple<const char*, GeometryCase>> {};

// The file written before this image was built from modules: zint's colour bitmap
// turned and saved by Qt. The same bytes must come out.
TEST_P(Code128ImageAsZint, SamePixelsAndSameFileAsZintsOwnBitmap)
{
    const QString text = QString::fromUtf8(std::get<0>(GetParam()));
    const GeometryCase& g = std::get<1>(GetParam());
    const QImage reference = ZintReferenceImage(text, g.downThePage, g.barHeightPx, g.moduleWidthPx);
    ASSERT_FALSE(reference.isNull());

    const Code128Image made = MakeCode128Image(text, g.downThePage, g.barHeightPx, g.moduleWidthPx);
    EXPECT_EQ(made.resultCode, 0);
    ASSERT_EQ(made.image.size(), reference.size());
    EXPECT_EQ(made.image.colorTable(), reference.colorTable());
    const QByteArray ours = EncodeMonoBmp(made.image);
    const QByteArray theirs = QtBmp(reference);
    ASSERT_EQ(ours.size(), theirs.size());
    for (int i = 0; i < ours.size(); ++i)
        ASSERT_EQ(int(uchar(ours[i])), int(uchar(theirs[i]))) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(
    TextsAndSizes, Code128ImageAsZint,
    testing::Combine(testing::Values("2514080003", "0-12345609", "Lane 07", "a\x01" "b", "Caf\u00e9 07",
                                     "12345", "\u00c0\u00c1\u00c2\u00c3\u00c4\u00c5\u00c6x"),
                     testing::Values(GeometryCase{true, 280, 4}, GeometryCase{false, 280, 4},
                                     GeometryCase{true, 140, 2}, GeometryCase{true, 281, 5},
                                     GeometryCase{true, 100, 3}, GeometryCase{false, 17, 1},
                                     GeometryCase{true, 31, 7}, GeometryCase{true, 1, 4},
                                     GeometryCase{true, 0, 4}, GeometryCase{false, 255, 12})));

}  // namespace
