#include "draw/mono_image_rows.h"
#include "draw/painter_surface.h"

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

// The same bars running down the image: column x is black when bit x is set.
QImage BarColumns(int width, int height, quint64 pattern)
{
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, ((pattern >> (x % 64)) & 1) ? 0 : 1);
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

TEST(MonoImageRows, BarsAreDrawnFromOneLineWithExactlyThePixelsOfAPlainCopy)
{
    struct Case {
        QSize image;
        QRect target;
        bool barsAcross;  // bars run across the rows, else down the columns
        QSize line;       // what is drawn in place of the whole image
    };
    const Case cases[] = {
        {{28, 44}, {10, 20, 28, 44}, true, {1, 44}},     // own size
        {{28, 44}, {5, 7, 56, 88}, true, {1, 44}},       // twice
        {{35, 61}, {100, 3, 42, 73}, true, {1, 61}},     // 1.2 in both directions, truncated
        {{20, 40}, {0, 0, 20, 80}, true, {1, 40}},       // x and y scaled separately
        {{44, 28}, {10, 20, 44, 28}, false, {44, 1}},    // bars down the image, own size
        {{61, 35}, {3, 100, 73, 42}, false, {61, 1}},    // 1.2, truncated
        {{40, 20}, {0, 0, 80, 20}, false, {40, 1}},      // x only
    };
    for (const Case& c : cases) {
        const quint64 pattern = 0xF0F3C3A5E1ULL;
        const QImage bars = c.barsAcross ? BarRows(c.image.width(), c.image.height(), pattern)
                                         : BarColumns(c.image.width(), c.image.height(), pattern);
        EXPECT_EQ(OneDistinctLine(bars).size(), c.line);
        EXPECT_EQ(OneDistinctLine(bars).colorTable(), bars.colorTable());
        EXPECT_EQ(Drawn(bars, c.target, true), Drawn(bars, c.target, false))
            << c.image.width() << "x" << c.image.height() << " into " << c.target.width() << "x" << c.target.height();
    }
}

TEST(MonoImageRows, AnImageWithMoreThanOneDistinctLineIsDrawnWhole)
{
    // A pixel of another colour in any place breaks both forms.
    for (const int width : {16, 13, 2}) {
        for (const int x : {0, width / 2, width - 1}) {
            QImage rows = BarRows(width, 8, 0x5A);
            EXPECT_TRUE(EveryRowIsOneColour(rows));
            rows.setPixel(x, 3, 1 - rows.pixelIndex(x, 3));
            EXPECT_FALSE(EveryRowIsOneColour(rows)) << width << " wide, pixel " << x;
            EXPECT_TRUE(OneDistinctLine(rows).isNull()) << width << " wide, pixel " << x;

            QImage columns = BarColumns(width, 8, 0x5A);
            EXPECT_TRUE(EveryRowIsTheSame(columns));
            columns.setPixel(x, 5, 1 - columns.pixelIndex(x, 5));
            EXPECT_FALSE(EveryRowIsTheSame(columns)) << width << " wide, pixel " << x;
            EXPECT_TRUE(OneDistinctLine(columns).isNull()) << width << " wide, pixel " << x;
        }
    }
    EXPECT_TRUE(OneDistinctLine(QImage(4, 4, QImage::Format_RGB32)).isNull());
}

}  // namespace
