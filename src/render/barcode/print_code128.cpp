#include "render/barcode/print_code128.h"

#include "common/tessary_error.h"

#include <QFile>
#include <QImage>
#include <QTemporaryFile>
#include <cstdio>
#include <cstring>
#include <memory>
#include <zint.h>

namespace {

constexpr int kOptionDownThePage = 3;
constexpr int kImagePixelsPerInch = 300;
constexpr double kMetresPerInch = 0.0254;

using SymbolPtr = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

// Bits first..last of an MSB-first packed line, both included.
void SetBitRun(uchar* line, int first, int last)
{
    for (; first <= last && (first & 7) != 0; ++first)
        line[first >> 3] |= uchar(0x80 >> (first & 7));
    for (; last - first >= 7; first += 8)
        line[first >> 3] = 0xFF;
    for (; first <= last; ++first)
        line[first >> 3] |= uchar(0x80 >> (first & 7));
}

const unsigned char* ZintLine(const zint_symbol& symbol, int y)
{
    return symbol.bitmap + qsizetype(y) * symbol.bitmap_width * 3;
}

// One past the last line of the run of identical lines that starts at y. A module
// spans several lines and the bars run the full height, so runs are long.
int EndOfLineRun(const zint_symbol& symbol, int y)
{
    const size_t lineBytes = size_t(symbol.bitmap_width) * 3;
    int end = y + 1;
    while (end < symbol.bitmap_height && std::memcmp(ZintLine(symbol, end), ZintLine(symbol, y), lineBytes) == 0)
        ++end;
    return end;
}

// zint hands back three bytes per pixel; anything darker than mid-grey is a bar,
// and a white pixel is a set bit (index 1). Turning the symbol down the page is
// done here rather than by zint, whose pixel-by-pixel turn cost more than the
// rest of making the barcode: its line y becomes column height-1-y.
QImage MonoImageFromZintBuffer(const zint_symbol& symbol, bool downThePage)
{
    const int width = symbol.bitmap_width;
    const int height = symbol.bitmap_height;
    QImage image = downThePage ? QImage(height, width, QImage::Format_Mono)
                               : QImage(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const int dotsPerMetre = qRound(kImagePixelsPerInch / kMetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    std::memset(image.bits(), 0, size_t(image.sizeInBytes()));  // padding bits too, so the file is repeatable
    for (int y = 0; y < height;) {
        const int runEnd = EndOfLineRun(symbol, y);
        const unsigned char* rgb = ZintLine(symbol, y);
        if (downThePage) {
            for (int x = 0; x < width; ++x) {
                if (rgb[3 * x] >= 128)
                    SetBitRun(image.scanLine(x), height - runEnd, height - 1 - y);
            }
        } else {
            uchar* line = image.scanLine(y);
            for (int x = 0; x < width; ++x) {
                if (rgb[3 * x] >= 128)
                    line[x >> 3] |= uchar(0x80 >> (x & 7));
            }
            for (int copy = y + 1; copy < runEnd; ++copy)
                std::memcpy(image.scanLine(copy), line, size_t(image.bytesPerLine()));
        }
        y = runEnd;
    }
    return image;
}

// Written aside and renamed into place, so a reader never sees half a barcode.
// Never flushed to disk: the file is read back at once and is worthless after a
// crash. ext4 starts writing out a file renamed over another (its guard for
// programs that forget to sync), which cost more than drawing the pass, so the
// old barcode is removed first.
bool WriteAsideAndRename(const QImage& image, const QString& bitmapPath)
{
    QTemporaryFile file(bitmapPath + QStringLiteral(".XXXXXX"));
    if (!file.open() || !image.save(&file, "BMP"))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    // Named while still open: Qt may hold the file unnamed until asked.
    const QByteArray written = QFile::encodeName(file.fileName());
    file.close();
    const QByteArray target = QFile::encodeName(bitmapPath);
    std::remove(target.constData());
    if (written.isEmpty() || std::rename(written.constData(), target.constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

void WriteBmp(const QImage& image, const QString& bitmapPath)
{
    if (!WriteAsideAndRename(image, bitmapPath)) {
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
    const int result = ZBarcode_Encode_and_Buffer(
        symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size()), 0);
    if (result >= ZINT_ERROR) {
        QFile::remove(bitmapPath);
        throw TessaryError(QString::fromUtf8(symbol->errtxt));
    }
    WriteBmp(MonoImageFromZintBuffer(*symbol, option == kOptionDownThePage), bitmapPath);
    return result;
}
