#include "render/barcode/print_code128.h"

#include "common/tessary_error.h"

#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <memory>
#include <zint.h>

namespace {

constexpr int kOptionDownThePage = 3;
constexpr int kImagePixelsPerInch = 300;
constexpr double kMetresPerInch = 0.0254;

using SymbolPtr = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

// zint hands back three bytes per pixel; anything darker than mid-grey is a bar.
QImage MonoImageFromZintBuffer(const zint_symbol& symbol)
{
    QImage image(symbol.bitmap_width, symbol.bitmap_height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const int dotsPerMetre = qRound(kImagePixelsPerInch / kMetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    const unsigned char* rgb = symbol.bitmap;
    for (int y = 0; y < symbol.bitmap_height; ++y) {
        for (int x = 0; x < symbol.bitmap_width; ++x, rgb += 3)
            image.setPixel(x, y, rgb[0] < 128 ? 0 : 1);
    }
    return image;
}

void WriteBmp(const QImage& image, const QString& bitmapPath)
{
    // Written aside and renamed, so a reader never sees half a barcode.
    QSaveFile file(bitmapPath);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "BMP") || !file.commit()) {
        QFile::remove(bitmapPath);
        throw TessaryError(QString("Cannot create file %1").arg(bitmapPath));
    }
}

}  // namespace

int PrintCode128(const QString& bitmapPath, int option, int barHeightPx, int moduleWidthPx,
                 const QString& text)
{
    SymbolPtr symbol(ZBarcode_Create(), &ZBarcode_Delete);
    if (!symbol)
        throw TessaryError("Out of memory");
    symbol->symbology = BARCODE_CODE128;
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = 0;
    symbol->output_options |= BARCODE_QUIET_ZONES;
    // zint draws two pixels per module at scale 1 and measures the bar height in modules;
    // a zero module width is left for zint to refuse as an out-of-range scale.
    symbol->scale = moduleWidthPx / 2.0f;
    symbol->height = moduleWidthPx != 0 ? float(barHeightPx) / float(moduleWidthPx) : 0.0f;

    const QByteArray data = text.toUtf8();
    const int rotateDegrees = option == kOptionDownThePage ? 90 : 0;
    const int result = ZBarcode_Encode_and_Buffer(
        symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()),
        rotateDegrees);
    if (result >= ZINT_ERROR) {
        QFile::remove(bitmapPath);
        throw TessaryError(QString::fromUtf8(symbol->errtxt));
    }
    WriteBmp(MonoImageFromZintBuffer(*symbol), bitmapPath);
    return result;
}
