#include "draw/draw_code128.h"

#include "common/tessary_error.h"
#include "support/recording_surface.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A 101 x 57 one-bit bitmap in zint's colour order, {white, black}.
QString WriteTestBitmap(const QTemporaryDir& dir)
{
    QImage image(101, 57, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); x += 3)
            image.setPixel(x, y, 1);
    const QString path = dir.filePath("test.bmp");
    EXPECT_TRUE(image.save(path, "BMP"));
    return path;
}

struct ScaleCase {
    int dpiX;
    int dpiY;
    int expectedWidthPx;
    int expectedHeightPx;
};

class DrawScaledBitmapScale : public testing::TestWithParam<ScaleCase> {};

TEST_P(DrawScaledBitmapScale, StretchesAgainst300PixelsPerInch)
{
    const ScaleCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = WriteTestBitmap(dir);
    RecordingSurface surface(c.dpiX, c.dpiY);
    DrawScaledBitmap(surface, 17, -5, c.dpiX, c.dpiY, path);
    ASSERT_EQ(surface.images.size(), 1u);
    EXPECT_EQ(surface.images[0].targetPx, QRect(17, -5, c.expectedWidthPx, c.expectedHeightPx));
    EXPECT_EQ(surface.images[0].imageSize, QSize(101, 57));
}

INSTANTIATE_TEST_SUITE_P(Resolutions, DrawScaledBitmapScale,
                         testing::Values(ScaleCase{300, 300, 101, 57},   // own size
                                         ScaleCase{600, 600, 202, 114},  // twice
                                         ScaleCase{360, 360, 121, 68},   // 121.2 and 68.4 truncated
                                         ScaleCase{300, 600, 101, 114},  // each direction on its own
                                         ScaleCase{600, 150, 202, 28},   // 28.5 truncated
                                         ScaleCase{72, 96, 24, 18}));    // 24.24 and 18.24 truncated

class DrawScaledBitmapBrush : public testing::TestWithParam<BrushStyle> {};

TEST_P(DrawScaledBitmapBrush, SolidDuringTheStretchAndTheCallersStyleAfter)
{
    QTemporaryDir dir;
    const QString path = WriteTestBitmap(dir);
    RecordingSurface surface;
    surface.setBrushStyle(GetParam());
    DrawScaledBitmap(surface, 0, 0, 300, 300, path);
    ASSERT_EQ(surface.images.size(), 1u);
    EXPECT_EQ(surface.images[0].brushDuringCall, BrushStyle::Solid);
    EXPECT_EQ(surface.brushStyle(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Styles, DrawScaledBitmapBrush,
                         testing::Values(BrushStyle::Clear, BrushStyle::Hatched, BrushStyle::Solid));

struct UnreadableCase {
    const char* fileName;
    bool makeFile;
    QByteArray contents;
    bool expectCannotOpen;
};

class DrawScaledBitmapUnreadable : public testing::TestWithParam<UnreadableCase> {};

TEST_P(DrawScaledBitmapUnreadable, ThrowsDrawsNothingAndRestoresTheBrush)
{
    const UnreadableCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(c.fileName);
    if (c.makeFile) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.contents);
    }
    RecordingSurface surface;
    surface.setBrushStyle(BrushStyle::Clear);
    try {
        DrawScaledBitmap(surface, 0, 0, 300, 300, path);
        FAIL() << "no error for " << c.fileName;
    } catch (const TessaryError& e) {
        EXPECT_EQ(e.text(), c.expectCannotOpen ? "Cannot open file " + path : QString("Bitmap image is not valid"));
    }
    EXPECT_TRUE(surface.images.empty());
    EXPECT_EQ(surface.brushStyle(), BrushStyle::Clear);
}

QByteArray PngBytes()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Files, DrawScaledBitmapUnreadable,
                         testing::Values(UnreadableCase{"missing.bmp", false, QByteArray(), true},
                                         UnreadableCase{"text.bmp", true, QByteArray("not a bitmap\n"), false},
                                         UnreadableCase{"empty.bmp", true, QByteArray(""), false},
                                         UnreadableCase{"truncated.bmp", true, QByteArray("BM\x36\x00", 4), false},
                                         UnreadableCase{"png.bmp", true, PngBytes(), false}));

}  // namespace
