#include "barcode/black_white_bitmap.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QList<QRgb> kBlackWhite = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
const QList<QRgb> kWhiteBlack = {qRgb(255, 255, 255), qRgb(0, 0, 0)};

// Uneven bars, an odd width and a width past one byte, so a slip shows.
bool IsBarAt(int x) { return x % 7 < 3 || x == 12; }

QImage Stripes(QImage::Format format, const QList<QRgb>& table)
{
    QImage image(29, 5, format);
    if (!table.isEmpty())
        image.setColorTable(table);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (table.isEmpty())
                image.setPixel(x, y, IsBarAt(x) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            else
                image.setPixel(x, y, uint(table.indexOf(IsBarAt(x) ? qRgb(0, 0, 0) : qRgb(255, 255, 255))));
        }
    }
    return image;
}

// What zint writes: a 1-bit BMP with {white, black}, read back through Qt.
QImage ThroughBmpFile(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return QImage::fromData(bytes, "BMP");
}

struct SourceCase {
    const char* name;
    QImage image;
};

void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.name; }

class ToBlackWhiteMonoSource : public testing::TestWithParam<SourceCase> {};

TEST_P(ToBlackWhiteMonoSource, KeepsEveryPixelsColourWithBlackFirst)
{
    const QImage& source = GetParam().image;
    ASSERT_FALSE(source.isNull());
    const QImage result = ToBlackWhiteMono(source);
    EXPECT_EQ(result.format(), QImage::Format_Mono);
    EXPECT_EQ(result.colorTable(), kBlackWhite);
    ASSERT_EQ(result.size(), source.size());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            ASSERT_EQ(result.pixel(x, y), IsBarAt(x) ? qRgb(0, 0, 0) : qRgb(255, 255, 255))
                << GetParam().name << " at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ToBlackWhiteMonoSource,
    testing::Values(SourceCase{"MonoWhiteBlack", Stripes(QImage::Format_Mono, kWhiteBlack)},
                    SourceCase{"MonoBlackWhite", Stripes(QImage::Format_Mono, kBlackWhite)},
                    SourceCase{"MonoLsbWhiteBlack", Stripes(QImage::Format_MonoLSB, kWhiteBlack)},
                    SourceCase{"BmpFileWhiteBlack", ThroughBmpFile(Stripes(QImage::Format_Mono, kWhiteBlack))},
                    SourceCase{"Indexed8", Stripes(QImage::Format_Indexed8, kWhiteBlack)},
                    SourceCase{"Rgb32", Stripes(QImage::Format_RGB32, {})}),
    [](const testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.name); });

TEST(ToBlackWhiteMonoBmp, ZintsOrderSurvivesAFileAsWhiteBlack)
{
    // The case the conversion exists for: Qt keeps the file's order when reading.
    const QImage loaded = ThroughBmpFile(Stripes(QImage::Format_Mono, kWhiteBlack));
    EXPECT_EQ(loaded.colorTable(), kWhiteBlack);
    EXPECT_EQ(ToBlackWhiteMono(loaded).colorTable(), kBlackWhite);
}

}  // namespace

namespace {

// The line pdfimages -list prints for the one image of a PDF holding image.
QString PdfImageListing(const QImage& image)
{
    QTemporaryDir dir;
    const QString pdfPath = dir.filePath("page.pdf");
    {
        QPdfWriter writer(pdfPath);
        writer.setResolution(300);
        QPainter painter(&writer);
        painter.drawImage(QRect(100, 100, image.width() * 4, image.height() * 4), image);
    }
    QProcess pdfimages;
    pdfimages.start("pdfimages", {"-list", pdfPath});
    pdfimages.waitForFinished(30000);
    const QStringList lines = QString::fromUtf8(pdfimages.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return lines.size() == 3 ? lines[2].simplified() : QString("unexpected: ") + lines.join(" | ");
}

TEST(ToBlackWhiteMonoPdf, PdfKeepsTheConvertedBarcodeAsOneBitLossless)
{
    const QImage zintOrder = ThroughBmpFile(Stripes(QImage::Format_Mono, kWhiteBlack));
    // columns: page num type width height color comp bpc enc ...
    const QStringList converted = PdfImageListing(ToBlackWhiteMono(zintOrder)).split(' ');
    ASSERT_GE(converted.size(), 9) << converted.join(' ').toStdString();
    EXPECT_EQ(converted[7], "1");
    EXPECT_EQ(converted[8], "image");
    const QStringList asLoaded = PdfImageListing(zintOrder).split(' ');
    ASSERT_GE(asLoaded.size(), 9) << asLoaded.join(' ').toStdString();
    EXPECT_EQ(asLoaded[8], "jpeg");  // why the conversion exists
}

}  // namespace
