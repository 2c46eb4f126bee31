#include "render/barcode/draw_code128.h"

#include "common/tessary_error.h"
#include "render/barcode/bitmap_round_trip.h"
#include "render/barcode/code128_reader.h"
#include "render/barcode/mono_bmp.h"
#include "render/barcode/print_code128.h"

#include <QFile>
#include <QImage>
#include <QRect>

namespace {

constexpr double kLibraryValueScale = 0.16;
constexpr double kBitmapPixelsPerInch = 300.0;
constexpr int kPassNumberLength = 8;

// Puts the caller's brush style back however the drawing ends.
class BrushStyleRestorer {
public:
    explicit BrushStyleRestorer(DrawingSurface& surface) : surface_(surface), saved_(surface.brushStyle()) {}
    ~BrushStyleRestorer() { surface_.setBrushStyle(saved_); }
    BrushStyleRestorer(const BrushStyleRestorer&) = delete;
    BrushStyleRestorer& operator=(const BrushStyleRestorer&) = delete;

private:
    DrawingSurface& surface_;
    BrushStyle saved_;
};

QByteArray ReadBitmapFile(const QString& bitmapPath)
{
    QFile file(bitmapPath);
    if (!file.open(QIODevice::ReadOnly))
        throw TessaryError(QString("Cannot open file %1").arg(bitmapPath));
    return file.readAll();
}

int ScaledToDevicePx(int imagePx, int dpi)
{
    return static_cast<int>(imagePx * (dpi / kBitmapPixelsPerInch));
}

void StretchAt300PixelsPerInch(DrawingSurface& surface, int xPx, int yPx, int dpiX, int dpiY, const QImage& image)
{
    BrushStyleRestorer restorer(surface);
    surface.setBrushStyle(BrushStyle::Solid);
    const QRect targetPx(xPx, yPx, ScaledToDevicePx(image.width(), dpiX), ScaledToDevicePx(image.height(), dpiY));
    surface.stretchImage(targetPx, image);
}

}  // namespace

void DrawCode128(DrawingSurface& surface, int xPx, int yPx, int valueA, int valueB, int dpiX, int dpiY,
                 const QString& text, int option, const QString& bitmapPath)
{
    const int scaledA = static_cast<int>(valueA * kLibraryValueScale);
    const int scaledB = static_cast<int>(valueB * kLibraryValueScale);
    const Code128Bmp written = MakeCode128Bmp(bitmapPath, option, scaledB, scaledA, text);
    const QImage image = DecodeBmp(WriteAndReadBack(bitmapPath, written.bytes));
    if (ReadCode128Image(image, Code128RunsDownThePage(option), scaledA) != text) {
        throw TessaryError(
            QString("The barcode of pass %1 did not read back as %2").arg(text.left(kPassNumberLength), text));
    }
    StretchAt300PixelsPerInch(surface, xPx, yPx, dpiX, dpiY, image);
}

void DrawScaledBitmap(DrawingSurface& surface, int xPx, int yPx, int dpiX, int dpiY,
                      const QString& bitmapPath)
{
    const QImage image = DecodeBmp(ReadBitmapFile(bitmapPath));
    StretchAt300PixelsPerInch(surface, xPx, yPx, dpiX, dpiY, image);
}
