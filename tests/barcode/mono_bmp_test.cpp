#include "barcode/mono_bmp.h"

#include "common/tessary_error.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QList<QRgb> kBlackWhite = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
const QList<QRgb> kWhiteBlack = {qRgb(255, 255, 255), qRgb(0, 0, 0)};

// A pattern with no symmetry, so that a flipped, shifted or mirrored line shows.
bool IsSetAt(int x, int y) { return (x * 7 + y * 3) % 5 < 2 || x == y; }

QImage Pattern(int widthPx, int heightPx, const QList<QRgb>& table)
{
    QImage image(widthPx, heightPx, QImage::Format_Mono);
    image.setColorTable(table);
    image.fill(0);
    for (int y = 0; y < heightPx; ++y)
        for (int x = 0; x < widthPx; ++x)
            image.setPixel(x, y, IsSetAt(x, y) ? 1 : 0);
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(5906);
    return image;
}

QByteArray QtBmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

bool IsBlack(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

struct SizeCase {
    int widthPx;
    int heightPx;
    bool whiteFirst;
};

class MonoBmpSize : public testing::TestWithParam<SizeCase> {};

// Qt's own writer is the reference: the files this program wrote before came from it.
TEST_P(MonoBmpSize, EncodesByteForByteAsQtAndDecodesToTheSamePixels)
{
    const SizeCase& c = GetParam();
    const QImage image = Pattern(c.widthPx, c.heightPx, c.whiteFirst ? kWhiteBlack : kBlackWhite);
    const QByteArray bytes = EncodeMonoBmp(image);
    EXPECT_EQ(bytes, QtBmp(image));

    const QImage decoded = DecodeBmp(bytes);
    ASSERT_EQ(decoded.size(), image.size());
    EXPECT_EQ(decoded.format(), QImage::Format_Mono);
    EXPECT_EQ(decoded.colorTable(), kBlackWhite);
    EXPECT_EQ(decoded.dotsPerMeterX(), 11811);
    EXPECT_EQ(decoded.dotsPerMeterY(), 5906);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(IsBlack(decoded, x, y), IsBlack(image, x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Sizes, MonoBmpSize,
                         testing::Values(SizeCase{1, 1, false}, SizeCase{7, 3, false}, SizeCase{8, 2, false},
                                         SizeCase{29, 5, true}, SizeCase{32, 4, false}, SizeCase{33, 9, true},
                                         SizeCase{280, 440, false}, SizeCase{440, 280, true}));

// Little-endian fields of the file laid out by EncodeMonoBmp, for damaging one.
void Set32(QByteArray& bytes, int at, qint32 value) { qToLittleEndian(value, bytes.data() + at); }

QByteArray Valid() { return EncodeMonoBmp(Pattern(29, 5, kBlackWhite)); }

struct FileCase {
    const char* name;
    QByteArray bytes;
    bool valid;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

class DecodeBmpFile : public testing::TestWithParam<FileCase> {};

TEST_P(DecodeBmpFile, ReadsWholeBitmapsAndRefusesTheRest)
{
    const FileCase& c = GetParam();
    if (c.valid) {
        const QImage decoded = DecodeBmp(c.bytes);
        const QImage reference = Pattern(29, 5, kBlackWhite);
        ASSERT_EQ(decoded.size(), reference.size());
        EXPECT_EQ(decoded.colorTable(), kBlackWhite);
        for (int y = 0; y < reference.height(); ++y)
            for (int x = 0; x < reference.width(); ++x)
                ASSERT_EQ(IsBlack(decoded, x, y), IsBlack(reference, x, y)) << x << "," << y;
        return;
    }
    try {
        DecodeBmp(c.bytes);
        FAIL() << "no error";
    } catch (const TessaryError& e) {
        EXPECT_EQ(e.text(), "Bitmap image is not valid");
    }
}

FileCase Changed(const char* name, bool valid, const std::function<void(QByteArray&)>& change)
{
    QByteArray bytes = Valid();
    change(bytes);
    return {name, bytes, valid};
}

// The same picture stored from the top down (negative height).
QByteArray TopDown()
{
    QByteArray bytes = Valid();
    const int lineBytes = 4;
    const QByteArray pixels = bytes.mid(62);
    for (int i = 0; i < 5; ++i)
        bytes.replace(62 + i * lineBytes, lineBytes, pixels.mid((4 - i) * lineBytes, lineBytes));
    Set32(bytes, 22, -5);
    return bytes;
}

QByteArray ColourBmp()
{
    QImage image = Pattern(29, 5, kBlackWhite).convertToFormat(QImage::Format_RGB32);
    return QtBmp(image);
}

QByteArray PngBytes()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Pattern(29, 5, kBlackWhite).save(&buffer, "PNG");
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeBmpFile,
    testing::Values(
        FileCase{"AsWritten", Valid(), true},
        FileCase{"TopDown", TopDown(), true},
        Changed("NoColourCountMeansTwo", true, [](QByteArray& b) { Set32(b, 46, 0); }),
        Changed("TrailingBytes", true, [](QByteArray& b) { b.append("extra"); }),
        FileCase{"ColourBmpThroughQt", ColourBmp(), true},
        FileCase{"Empty", QByteArray(), false},
        FileCase{"SignatureOnly", QByteArray("BM"), false},
        FileCase{"Text", QByteArray("not a bitmap\n"), false},
        FileCase{"Png", PngBytes(), false},
        Changed("HeaderCut", false, [](QByteArray& b) { b.truncate(40); }),
        Changed("LastLineShort", false, [](QByteArray& b) { b.chop(1); }),
        Changed("PixelsPastTheEnd", false, [](QByteArray& b) { Set32(b, 10, 200); }),
        Changed("PixelsInsideTheHeader", false, [](QByteArray& b) { Set32(b, 10, 20); }),
        Changed("ZeroWidth", false, [](QByteArray& b) { Set32(b, 18, 0); }),
        Changed("NegativeWidth", false, [](QByteArray& b) { Set32(b, 18, -29); }),
        Changed("ZeroHeight", false, [](QByteArray& b) { Set32(b, 22, 0); }),
        Changed("HugeHeight", false, [](QByteArray& b) { Set32(b, 22, 0x7FFFFFFF); }),
        Changed("WrongSignature", false, [](QByteArray& b) { b[0] = 'X'; })));

}  // namespace
