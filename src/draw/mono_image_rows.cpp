#include "draw/mono_image_rows.h"

#include <cstring>

namespace {

bool FirstBit(const uchar* line) { return (line[0] & 0x80) != 0; }

// The image's first column, one pixel wide.
QImage FirstColumn(const QImage& mono)
{
    QImage column(1, mono.height(), QImage::Format_Mono);
    column.setColorTable(mono.colorTable());
    // Every line of a one-pixel image is a byte of its own or more; only the top bit counts.
    std::memset(column.bits(), 0, size_t(column.sizeInBytes()));
    for (int y = 0; y < mono.height(); ++y) {
        if (FirstBit(mono.constScanLine(y)))
            column.scanLine(y)[0] = 0x80;
    }
    return column;
}

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

bool EveryRowIsTheSame(const QImage& mono)
{
    if (mono.format() != QImage::Format_Mono || mono.isNull())
        return false;
    const int fullBytes = mono.width() / 8;
    const int tailBits = mono.width() % 8;
    const uchar tailMask = uchar(0xFF << (8 - tailBits));
    const uchar* first = mono.constBits();
    for (int y = 1; y < mono.height(); ++y) {
        const uchar* line = mono.constScanLine(y);
        // The padding bits past the width may differ; they are never drawn.
        if (std::memcmp(line, first, size_t(fullBytes)) != 0)
            return false;
        if (tailBits != 0 && (line[fullBytes] & tailMask) != (first[fullBytes] & tailMask))
            return false;
    }
    return true;
}

QImage OneDistinctLine(const QImage& mono)
{
    if (mono.width() > 1 && EveryRowIsOneColour(mono))
        return FirstColumn(mono);
    if (mono.height() > 1 && EveryRowIsTheSame(mono))
        return mono.copy(0, 0, mono.width(), 1);
    return QImage();
}
