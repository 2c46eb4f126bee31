#include "render/mono_image_rows.h"

#include <cstring>

namespace {

bool Bit(const uchar* line, int x) { return (line[x >> 3] >> (7 - (x & 7))) & 1; }

}  // namespace

bool EveryRowIsOneColour(const QImage& mono)
{
    if (mono.format() != QImage::Format_Mono || mono.isNull())
        return false;
    const int width = mono.width();
    for (int y = 0; y < mono.height(); ++y) {
        const uchar* line = mono.constScanLine(y);
        const bool first = Bit(line, 0);
        for (int x = 1; x < width; ++x) {
            if (Bit(line, x) != first)
                return false;
        }
    }
    return true;
}

QImage TurnedCounterClockwise(const QImage& mono)
{
    const int width = mono.width();
    const int height = mono.height();
    QImage turned(height, width, QImage::Format_Mono);
    turned.setColorTable(mono.colorTable());
    turned.fill(0);
    for (int y = 0; y < height; ++y) {
        const uchar* source = mono.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (Bit(source, x)) {
                uchar* target = turned.scanLine(width - 1 - x);
                target[y >> 3] |= uchar(0x80 >> (y & 7));
            }
        }
    }
    return turned;
}
