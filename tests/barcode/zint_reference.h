#pragma once

#include <QImage>
#include <QString>

#include <cstring>
#include <memory>
#include <zint.h>

// zint's own drawing of a Code 128 symbol, pixel by pixel from its colour bitmap
// (ZBarcode_Buffer), turned down the page as the program always turned it: the
// reference our image must equal. Null when zint refuses.
inline QImage ZintReferenceImage(const QString& text, bool downThePage, int barHeightPx, int moduleWidthPx,
                                 int inputMode = UNICODE_MODE)
{
    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> symbol(ZBarcode_Create(), &ZBarcode_Delete);
    symbol->symbology = inputMode == GS1_MODE ? BARCODE_GS1_128 : BARCODE_CODE128;
    symbol->input_mode = inputMode;
    symbol->show_hrt = 0;
    symbol->output_options |= BARCODE_QUIET_ZONES;
    symbol->scale = moduleWidthPx / 2.0f;
    symbol->height = moduleWidthPx != 0 ? float(barHeightPx) / float(moduleWidthPx) : 0.0f;
    const QByteArray data = text.toUtf8();
    if (ZBarcode_Encode_and_Buffer(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                                   int(data.size()), 0)
        >= ZINT_ERROR)
        return {};
    const int width = symbol->bitmap_width;
    const int height = symbol->bitmap_height;
    QImage image = downThePage ? QImage(height, width, QImage::Format_Mono) : QImage(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    std::memset(image.bits(), 0, size_t(image.sizeInBytes()));  // padding too, as the program always wrote it
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool white = symbol->bitmap[(size_t(y) * width + x) * 3] >= 128;
            if (downThePage)
                image.setPixel(height - 1 - y, x, white ? 1 : 0);
            else
                image.setPixel(x, y, white ? 1 : 0);
        }
    }
    return image;
}
