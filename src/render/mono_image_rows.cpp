#include "render/mono_image_rows.h"

#include <cstring>

namespace {

bool FirstBit(const uchar* line) { return (line[0] & 0x80) != 0; }

}  // namespace

bool EveryRowIsOneColour(const QImage& mono)
{
    if (mono.format() != QImage::Format_Mono || mono.isNull())
        return false;
    const int fullBytes = mono.width() / 8;
    const int tailBits = mono.width() % 8;
    const uchar tailMask = uchar(0xFF << (8 - tailBits));
    const uchar* line = mono.constBits();
    const qsizetype stride = mono.bytesPerLine();
    for (int y = 0; y < mono.height(); ++y, line += stride) {
        const uchar all = FirstBit(line) ? 0xFF : 0x00;
        // One colour when the first byte is all of it and every byte equals the one before.
        if (fullBytes > 0 && (line[0] != all || std::memcmp(line, line + 1, size_t(fullBytes - 1)) != 0))
            return false;
        if (tailBits != 0 && (line[fullBytes] & tailMask) != (all & tailMask))
            return false;
    }
    return true;
}

QImage TurnedOneColourRows(const QImage& mono)
{
    const int height = mono.height();
    QImage turned(height, mono.width(), QImage::Format_Mono);
    turned.setColorTable(mono.colorTable());
    // Row y of the source becomes column y of every row of the result.
    QByteArray row(turned.bytesPerLine(), '\0');
    for (int y = 0; y < height; ++y) {
        if (FirstBit(mono.constScanLine(y)))
            row[y >> 3] = char(uchar(row[y >> 3]) | uchar(0x80 >> (y & 7)));
    }
    uchar* bits = turned.bits();
    for (int line = 0; line < turned.height(); ++line)
        std::memcpy(bits + qsizetype(line) * turned.bytesPerLine(), row.constData(), row.size());
    return turned;
}
