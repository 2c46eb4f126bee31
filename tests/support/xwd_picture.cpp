#include "support/xwd_picture.h"

#include <QtEndian>

QImage ReadXwdPicture(const QByteArray& xwd)
{
    // The header is 25 big-endian 32-bit fields, then the window's name.
    constexpr int kFields = 25;
    if (xwd.size() < kFields * 4)
        return QImage();
    const auto field = [&xwd](int i) { return qFromBigEndian<quint32>(xwd.constData() + 4 * i); };
    const quint32 headerSize = field(0), format = field(2), width = field(4), height = field(5), byteOrder = field(7);
    const quint32 bitsPerPixel = field(11), bytesPerLine = field(12), redMask = field(14), greenMask = field(15);
    const quint32 colours = field(19);
    constexpr quint32 kZPixmap = 2;
    const qint64 start = qint64(headerSize) + 12 * qint64(colours);
    if (format != kZPixmap || bitsPerPixel != 32 || redMask != 0xff0000 || greenMask != 0xff00
        || start + qint64(bytesPerLine) * height > xwd.size() || width == 0 || height == 0)
        return QImage();
    QImage picture(int(width), int(height), QImage::Format_RGB32);
    for (quint32 y = 0; y < height; ++y) {
        const char* line = xwd.constData() + start + qint64(y) * bytesPerLine;
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(int(y)));
        for (quint32 x = 0; x < width; ++x) {
            const quint32 pixel = byteOrder == 0 ? qFromLittleEndian<quint32>(line + 4 * x)
                                                 : qFromBigEndian<quint32>(line + 4 * x);
            out[x] = 0xff000000u | (pixel & 0xffffffu);
        }
    }
    return picture;
}
