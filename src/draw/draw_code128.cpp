#include "draw/draw_code128.h"

#include "barcode/mono_bmp.h"
#include "barcode/read_back_code128.h"
#include "common/tessary_error.h"

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
    const QImage image = ReadBackCode128(bitmapPath, option, scaledB, scaledA, text);
    StretchAt300PixelsPerInch(surface, xPx, yPx, dpiX, dpiY, image);
}

void DrawScaledBitmap(DrawingSurface& surface, int xPx, int yPx, int dpiX, int dpiY,
                      const QString& bitmapPath)
{
    const QImage image = DecodeBmp(ReadBitmapFile(bitmapPath));
    StretchAt300PixelsPerInch(surface, xPx, yPx, dpiX, dpiY, image);
}
