#pragma once

#include "draw/painter_surface.h"
#include "verify/recording_tee_surface.h"

#include <QImage>
#include <QPainter>
#include <QSize>
#include <memory>
#include <vector>

// A grey picture of a sheet at a fixed, modest resolution, drawn from the
// sheet's recording with the same drawing code as the page itself. Positions
// stay in the page's device pixels; the painter scales them down.
class SheetRaster {
public:
    // The picture's pixels per inch: the barcode's modules, 4 pixels at 300 per
    // inch, come out 2 pixels wide, the least a reading can be sure of.
    static constexpr int kPixelsPerInch = 150;

    // pagePx is the page's paintable size in device pixels at dpiX by dpiY.
    SheetRaster(QSize pagePx, int dpiX, int dpiY);
    ~SheetRaster();
    SheetRaster(const SheetRaster&) = delete;
    SheetRaster& operator=(const SheetRaster&) = delete;

    // Clears the rectangles to be read (device pixels) to white and draws the
    // recording's calls that may reach one of them: the picture is exact there
    // and nowhere else.
    void Draw(const SheetRecording& recording, const std::vector<QRect>& readPx);

    const QImage& image() const { return image_; }
    QSize pagePx() const { return pagePx_; }
    // Picture pixels per device pixel, across and down.
    double scaleX() const { return scaleX_; }
    double scaleY() const { return scaleY_; }

private:
    QSize pagePx_;
    double scaleX_;
    double scaleY_;
    QImage image_;
    QPainter painter_;
    std::unique_ptr<PainterSurface> surface_;
};
