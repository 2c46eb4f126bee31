#include "draw/draw_code128.h"

#include "barcode_image_probe.h"
#include "common/tessary_error.h"
#include "support/recording_surface.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Keeps the image handed to the page as well, to see what would be stored.
class ImageKeepingSurface : public RecordingSurface {
public:
    using RecordingSurface::RecordingSurface;
    void stretchImage(const QRect& targetPx, const QImage& image) override
    {
        RecordingSurface::stretchImage(targetPx, image);
        drawn.push_back(image);
    }
    std::vector<QImage> drawn;
};

struct DrawCase {
    int valueA;
    int valueB;
    int dpiX;
    int dpiY;
    QSize expectedImagePx;   // as the encoder wrote it
    QSize expectedTargetPx;  // on the page
};

class DrawCode128Scaling : public testing::TestWithParam<DrawCase> {};

TEST_P(DrawCode128Scaling, ValuesReachTheEncoderScaledAndTheImageThePageScaled)
{
    const DrawCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("code128.bmp");
    ImageKeepingSurface surface(c.dpiX, c.dpiY);
    surface.setBrushStyle(BrushStyle::Clear);
    DrawCode128(surface, 120, 45, c.valueA, c.valueB, c.dpiX, c.dpiY, "2514080003", 3, path);

    ASSERT_EQ(surface.images.size(), 1u);
    EXPECT_EQ(surface.images[0].imageSize, c.expectedImagePx);
    EXPECT_EQ(surface.images[0].targetPx, QRect(QPoint(120, 45), c.expectedTargetPx));
    EXPECT_EQ(surface.images[0].brushDuringCall, BrushStyle::Solid);
    EXPECT_EQ(surface.brushStyle(), BrushStyle::Clear);
    // The file stays behind with this pass's barcode in it.
    EXPECT_EQ(ScanWithZbarimg(path).text, QString("2514080003"));

    // Stored losslessly by the PDF engine only as 1 bit with {black, white}.
    const QImage& drawn = surface.drawn.at(0);
    EXPECT_EQ(drawn.format(), QImage::Format_Mono);
    EXPECT_EQ(drawn.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
}

INSTANTIATE_TEST_SUITE_P(
    Values, DrawCode128Scaling,
    testing::Values(DrawCase{25, 1750, 300, 300, {280, 440}, {280, 440}},   // module 4, bars 280
                    DrawCase{25, 1750, 600, 600, {280, 440}, {560, 880}},
                    DrawCase{25, 1750, 600, 300, {280, 440}, {560, 440}},
                    DrawCase{31, 1756, 300, 300, {280, 440}, {280, 440}},   // 4.96 and 280.96 truncated
                    DrawCase{13, 875, 300, 300, {140, 220}, {140, 220}}));  // module 2, bars 140

TEST(DrawCode128Refused, UnencodableTextThrowsAndDrawsNoEarlierBarcode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("code128.bmp");
    RecordingSurface surface;
    DrawCode128(surface, 0, 0, 25, 1750, 300, 300, "2514080003", 3, path);
    ASSERT_EQ(surface.images.size(), 1u);

    const QString texts[] = {QString::fromUtf8("\u4e2d01"), QString(300, '7')};
    for (const QString& text : texts) {
        try {
            DrawCode128(surface, 0, 0, 25, 1750, 300, 300, text, 3, path);
            ADD_FAILURE() << "no error for " << text.toStdString();
        } catch (const TessaryError& e) {
            EXPECT_TRUE(e.text().startsWith("Error ")) << e.what();
        }
        EXPECT_EQ(surface.images.size(), 1u);
        EXPECT_FALSE(QFile::exists(path));
    }
}

}  // namespace
