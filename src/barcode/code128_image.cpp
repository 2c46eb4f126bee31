#include "barcode/code128_image.h"

#include "common/tessary_error.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>
#include <zint.h>

namespace {

constexpr int kImagePixelsPerInch = 300;
constexpr double kMetresPerInch = 0.0254;

using SymbolPtr = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

// zint packs each row of modules least significant bit first.
bool ModuleIsDark(const zint_symbol& symbol, int module)
{
    return ((symbol.encoded_data[0][module >> 3] >> (module & 7)) & 1) != 0;
}

// Whether each module from the left quiet zone to the right one is a bar.
std::vector<bool> DarkModules(const zint_symbol& symbol)
{
    std::vector<bool> dark(size_t(symbol.width + 2 * kCode128QuietZoneModules), false);
    for (int m = 0; m < symbol.width; ++m)
        dark[size_t(m + kCode128QuietZoneModules)] = ModuleIsDark(symbol, m);
    return dark;
}

// zint draws at a scale of half the module width, which is a whole number of
// pixels a module, so it rounds the bar height once to whole pixels and never
// resamples. Its own arithmetic is in float.
int ZintBarLengthPx(const zint_symbol& symbol, int moduleWidthPx)
{
    return int(std::lround(symbol.height * float(moduleWidthPx)));
}

// Bits 0..count-1 of an MSB-first packed line set (white); the padding stays 0.
void SetLeadingBits(uchar* line, int count)
{
    std::memset(line, 0xFF, size_t(count / 8));
    if (count % 8 != 0)
        line[count / 8] = uchar(0xFF << (8 - count % 8));
}

QImage BlankMonoImage(int widthPx, int heightPx)
{
    QImage image(widthPx, heightPx, QImage::Format_Mono);
    if (image.isNull())
        throw TessaryError("Out of memory");
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const int dotsPerMetre = qRound(kImagePixelsPerInch / kMetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    std::memset(image.bits(), 0, size_t(image.sizeInBytes()));  // padding bits too, so the file is repeatable
    return image;
}

// Modules go down the image, one run of moduleWidthPx lines each; a bar's lines
// stay black, a space's are white across.
QImage DownThePage(const std::vector<bool>& dark, int moduleWidthPx, int barLengthPx)
{
    QImage image = BlankMonoImage(barLengthPx, int(dark.size()) * moduleWidthPx);
    const qsizetype lineBytes = image.bytesPerLine();
    uchar* line = image.bits();
    for (size_t m = 0; m < dark.size(); ++m) {
        for (int i = 0; i < moduleWidthPx; ++i, line += lineBytes) {
            if (!dark[m])
                SetLeadingBits(line, barLengthPx);
        }
    }
    return image;
}

// Modules go across the image; every line is the same.
QImage LeftToRight(const std::vector<bool>& dark, int moduleWidthPx, int barLengthPx)
{
    QImage image = BlankMonoImage(int(dark.size()) * moduleWidthPx, barLengthPx);
    if (barLengthPx == 0)
        return image;
    const qsizetype lineBytes = image.bytesPerLine();
    uchar* first = image.bits();
    for (size_t m = 0; m < dark.size(); ++m) {
        if (dark[m])
            continue;
        for (int x = int(m) * moduleWidthPx; x < int(m + 1) * moduleWidthPx; ++x)
            first[x >> 3] |= uchar(0x80 >> (x & 7));
    }
    for (int y = 1; y < barLengthPx; ++y)
        std::memcpy(first + y * lineBytes, first, size_t(lineBytes));
    return image;
}

}  // namespace

Code128Image MakeCode128Image(const QString& text, bool downThePage, int barHeightPx, int moduleWidthPx)
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
    const int result =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()));
    if (result >= ZINT_ERROR)
        throw TessaryError(QString::fromUtf8(symbol->errtxt));
    const std::vector<bool> dark = DarkModules(*symbol);
    const int barLengthPx = ZintBarLengthPx(*symbol, moduleWidthPx);
    return {downThePage ? DownThePage(dark, moduleWidthPx, barLengthPx) : LeftToRight(dark, moduleWidthPx, barLengthPx),
            result};
}
