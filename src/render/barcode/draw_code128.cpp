#include "render/barcode/draw_code128.h"

#include "common/tessary_error.h"
#include "render/barcode/black_white_bitmap.h"
#include "render/barcode/print_code128.h"

#include <QFile>
#include <QImage>
#include <QRect>

namespace {

constexpr double kLibraryValueScale = 0.16;
constexpr double kBitmapPixelsPerInch = 300.0;

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

QImage LoadBitmapFile(const QString& bitmapPath)
{
    QByteArray bytes;
    {
        QFile file(bitmapPath);
        if (!file.open(QIODevice::ReadOnly))
            throw TessaryError(QString("Cannot open file %1").arg(bitmapPath));
        bytes = file.readAll();
    }
    QImage image;
    if (!image.loadFromData(bytes, "BMP") || image.isNull())
        throw TessaryError("Bitmap image is not valid");
    return ToBlackWhiteMono(image);
}

int ScaledToDevicePx(int imagePx, int dpi)
{
    return static_cast<int>(imagePx * (dpi / kBitmapPixelsPerInch));
}

}  // namespace

void DrawCode128(DrawingSurface& surface, int xPx, int yPx, int valueA, int valueB, int dpiX, int dpiY,
                 const QString& text, int option, const QString& bitmapPath)
{
    const int scaledA = static_cast<int>(valueA * kLibraryValueScale);
    const int scaledB = static_cast<int>(valueB * kLibraryValueScale);
    PrintCode128(bitmapPath, option, scaledB, scaledA, text);
    DrawScaledBitmap(surface, xPx, yPx, dpiX, dpiY, bitmapPath);
}

void DrawScaledBitmap(DrawingSurface& surface, int xPx, int yPx, int dpiX, int dpiY,
                      const QString& bitmapPath)
{
    BrushStyleRestorer restorer(surface);
    surface.setBrushStyle(BrushStyle::Solid);
    const QImage image = LoadBitmapFile(bitmapPath);
    const QRect targetPx(xPx, yPx, ScaledToDevicePx(image.width(), dpiX), ScaledToDevicePx(image.height(), dpiY));
    surface.stretchImage(targetPx, image);
}
