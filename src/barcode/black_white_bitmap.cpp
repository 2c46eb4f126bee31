#include "barcode/black_white_bitmap.h"

#include <QList>

namespace {

const QList<QRgb> kBlackWhite = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
const QList<QRgb> kWhiteBlack = {qRgb(255, 255, 255), qRgb(0, 0, 0)};

QList<QRgb> OpaqueColorTable(const QImage& image)
{
    QList<QRgb> table = image.colorTable();
    for (QRgb& colour : table)
        colour = qRgb(qRed(colour), qGreen(colour), qBlue(colour));
    return table;
}

}  // namespace

QImage ToBlackWhiteMono(const QImage& image)
{
    if (image.isNull())
        return image;
    const bool oneBit = image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    if (oneBit) {
        QImage mono = image.convertToFormat(QImage::Format_Mono);
        const QList<QRgb> table = OpaqueColorTable(mono);
        if (table == kBlackWhite) {
            mono.setColorTable(kBlackWhite);
            return mono;
        }
        if (table == kWhiteBlack) {
            // Flipping every index and the table keeps each pixel's colour.
            mono.invertPixels();
            mono.setColorTable(kBlackWhite);
            return mono;
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32).convertToFormat(QImage::Format_Mono, kBlackWhite);
}
