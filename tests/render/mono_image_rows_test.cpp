#include "render/mono_image_rows.h"
#include "render/painter_surface.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Rows of bars like a barcode turned down the page: row y is black when bit y of
// the pattern is set.
QImage BarRows(int width, int height, quint64 pattern)
{
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, ((pattern >> (y % 64)) & 1) ? 0 : 1);
    }
    return image;
}

QImage Drawn(const QImage& image, const QRect& target, bool throughSurface)
{
    QImage page(300, 300, QImage::Format_RGB32);
    page.fill(Qt::gray);
    QPainter painter(&page);
    if (throughSurface) {
        PainterSurface surface(painter);
        surface.stretchImage(target, image);
    } else {
        painter.drawImage(target, image);
    }
    painter.end();
    return page;
}

TEST(MonoImageRows, BarRowsAreDrawnWithExactlyThePixelsOfAPlainCopy)
{
    struct Case {
        QSize image;
        QRect target;
    };
    const Case cases[] = {
        {{28, 44}, {10, 20, 28, 44}},   // own size
        {{28, 44}, {5, 7, 56, 88}},     // twice
        {{35, 61}, {100, 3, 42, 73}},   // 1.2 in both directions, truncated
        {{20, 40}, {0, 0, 20, 80}},     // x and y scaled separately
    };
    for (const Case& c : cases) {
        const QImage bars = BarRows(c.image.width(), c.image.height(), 0xF0F3C3A5E1ULL);
        ASSERT_TRUE(EveryRowIsOneColour(bars));
        EXPECT_EQ(Drawn(bars, c.target, true), Drawn(bars, c.target, false))
            << c.image.width() << "x" << c.image.height() << " into " << c.target.width() << "x" << c.target.height();
    }
}

TEST(MonoImageRows, TurningKeepsEveryPixelAndTheColourTable)
{
    for (const QSize size : {QSize(13, 9), QSize(8, 16), QSize(280, 440), QSize(1, 1)}) {
        const QImage source = BarRows(size.width(), size.height(), 0xB3A1F0ULL);
        const QImage turned = TurnedOneColourRows(source);
        ASSERT_EQ(turned.size(), size.transposed());
        EXPECT_EQ(turned.colorTable(), source.colorTable());
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                ASSERT_EQ(turned.pixelIndex(y, size.width() - 1 - x), source.pixelIndex(x, y)) << x << "," << y;
    }
}

TEST(MonoImageRows, OnlyOneColourRowsCount)
{
    for (const int width : {16, 13, 1}) {
        for (const int x : {0, width / 2, width - 1}) {
            QImage mixed = BarRows(width, 8, 0x5A);
            EXPECT_TRUE(EveryRowIsOneColour(mixed));
            if (width == 1)
                continue;
            mixed.setPixel(x, 3, 1 - mixed.pixelIndex(x, 3));
            EXPECT_FALSE(EveryRowIsOneColour(mixed)) << width << " wide, pixel " << x;
        }
    }
    EXPECT_FALSE(EveryRowIsOneColour(QImage(4, 4, QImage::Format_RGB32)));
}

}  // namespace
