#include "barcode/mono_bmp.h"

#include "barcode/black_white_bitmap.h"
#include "common/tessary_error.h"

#include <QtEndian>
#include <cstring>

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kColourEntryBytes = 4;
constexpr int kMonoColours = 2;
constexpr int kPixelDataOffset = kFileHeaderBytes + kInfoHeaderBytes + kMonoColours * kColourEntryBytes;

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

[[noreturn]] void ThrowNotValid() { throw TessaryError("Bitmap image is not valid"); }

qsizetype LineBytes(qint64 widthPx) { return qsizetype((widthPx + 31) / 32 * 4); }

void Put16(uchar*& at, quint16 value)
{
    qToLittleEndian(value, at);
    at += 2;
}

void Put32(uchar*& at, quint32 value)
{
    qToLittleEndian(value, at);
    at += 4;
}

struct MonoHeader {
    qint64 widthPx = 0;
    qint64 heightPx = 0;
    bool topDown = false;
    quint32 pixelOffset = 0;
    qint32 dotsPerMetreX = 0;
    qint32 dotsPerMetreY = 0;
    bool whiteFirst = false;
};

quint16 Get16(const QByteArray& bytes, int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }
quint32 Get32(const QByteArray& bytes, int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

QRgb TableEntry(const QByteArray& bytes, int at)
{
    const auto* entry = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return qRgb(entry[2], entry[1], entry[0]);
}

// The header of an uncompressed 1-bit bitmap with the 40-byte information header
// and a table of exactly black and white, the only kind read here; anything else
// is left to Qt's reader.
bool ReadMonoHeader(const QByteArray& bytes, MonoHeader& header)
{
    if (bytes.size() < kPixelDataOffset || !bytes.startsWith("BM"))
        return false;
    if (Get32(bytes, 14) != quint32(kInfoHeaderBytes) || Get16(bytes, 28) != 1 || Get32(bytes, 30) != 0)
        return false;
    const quint32 colours = Get32(bytes, 46);
    if (colours != 0 && colours != quint32(kMonoColours))
        return false;
    const QRgb first = TableEntry(bytes, kFileHeaderBytes + kInfoHeaderBytes);
    const QRgb second = TableEntry(bytes, kFileHeaderBytes + kInfoHeaderBytes + kColourEntryBytes);
    if (!((first == kBlack && second == kWhite) || (first == kWhite && second == kBlack)))
        return false;
    const qint32 height = qint32(Get32(bytes, 22));
    header.widthPx = qint32(Get32(bytes, 18));
    header.heightPx = height < 0 ? -qint64(height) : qint64(height);
    header.topDown = height < 0;
    header.pixelOffset = Get32(bytes, 10);
    header.dotsPerMetreX = qint32(Get32(bytes, 38));
    header.dotsPerMetreY = qint32(Get32(bytes, 42));
    header.whiteFirst = first == kWhite;
    return true;
}

QImage DecodeMono(const QByteArray& bytes, const MonoHeader& h)
{
    if (h.widthPx < 1 || h.heightPx < 1 || h.pixelOffset < quint32(kPixelDataOffset))
        ThrowNotValid();
    const qsizetype lineBytes = LineBytes(h.widthPx);
    if (qint64(h.pixelOffset) + qint64(lineBytes) * h.heightPx > bytes.size())
        ThrowNotValid();
    QImage image(int(h.widthPx), int(h.heightPx), QImage::Format_Mono);
    if (image.isNull() || image.bytesPerLine() != lineBytes)
        ThrowNotValid();
    image.setColorTable({kBlack, kWhite});
    if (h.dotsPerMetreX > 0)
        image.setDotsPerMeterX(h.dotsPerMetreX);
    if (h.dotsPerMetreY > 0)
        image.setDotsPerMeterY(h.dotsPerMetreY);
    // Flipping the indexes of a white-first table keeps each pixel's colour; like
    // QImage::invertPixels, only the bytes that hold pixels are flipped.
    const qsizetype pixelBytes = (h.widthPx + 7) / 8;
    const char* line = bytes.constData() + h.pixelOffset;
    uchar* bits = image.bits();
    const int heightPx = int(h.heightPx);
    for (int i = 0; i < heightPx; ++i, line += lineBytes) {
        uchar* target = bits + (h.topDown ? i : heightPx - 1 - i) * lineBytes;
        std::memcpy(target, line, size_t(lineBytes));
        if (h.whiteFirst) {
            for (qsizetype b = 0; b < pixelBytes; ++b)
                target[b] ^= 0xFF;
        }
    }
    return image;
}

}  // namespace

QByteArray EncodeMonoBmp(const QImage& mono)
{
    Q_ASSERT(mono.format() == QImage::Format_Mono && mono.colorCount() == kMonoColours);
    const qsizetype lineBytes = LineBytes(mono.width());
    const qsizetype pixelBytes = lineBytes * mono.height();
    QByteArray bytes(kPixelDataOffset + pixelBytes, Qt::Uninitialized);
    auto* at = reinterpret_cast<uchar*>(bytes.data());
    *at++ = 'B';
    *at++ = 'M';
    Put32(at, quint32(bytes.size()));
    Put32(at, 0);  // reserved
    Put32(at, kPixelDataOffset);
    Put32(at, kInfoHeaderBytes);
    Put32(at, quint32(mono.width()));
    Put32(at, quint32(mono.height()));  // positive: lines from the bottom up
    Put16(at, 1);                       // planes
    Put16(at, 1);                       // bits per pixel
    Put32(at, 0);                       // uncompressed
    Put32(at, quint32(pixelBytes));
    Put32(at, quint32(mono.dotsPerMeterX()));
    Put32(at, quint32(mono.dotsPerMeterY()));
    Put32(at, kMonoColours);  // colours used
    Put32(at, kMonoColours);  // colours important
    for (int i = 0; i < kMonoColours; ++i) {
        const QRgb colour = mono.color(i);
        *at++ = uchar(qBlue(colour));
        *at++ = uchar(qGreen(colour));
        *at++ = uchar(qRed(colour));
        *at++ = 0;
    }
    const uchar* bits = mono.constBits();
    for (int y = mono.height() - 1; y >= 0; --y, at += lineBytes)
        std::memcpy(at, bits + y * lineBytes, size_t(lineBytes));
    return bytes;
}

QImage DecodeBmp(const QByteArray& bytes)
{
    MonoHeader header;
    if (ReadMonoHeader(bytes, header))
        return DecodeMono(bytes, header);
    QImage image;
    if (!image.loadFromData(bytes, "BMP") || image.isNull())
        ThrowNotValid();
    return ToBlackWhiteMono(image);
}
