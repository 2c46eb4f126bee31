#include "render/sheet_raster.h"

#include "common/tessary_error.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMetresPerInch = 0.0254;

int ScaledPx(int devicePx, double scale) { return std::max(1, int(std::ceil(devicePx * scale))); }

}  // namespace

SheetRaster::SheetRaster(QSize pagePx, int dpiX, int dpiY)
    : pagePx_(pagePx),
      scaleX_(double(kPixelsPerInch) / std::max(1, dpiX)),
      scaleY_(double(kPixelsPerInch) / std::max(1, dpiY)),
      image_(ScaledPx(pagePx.width(), scaleX_), ScaledPx(pagePx.height(), scaleY_), QImage::Format_Grayscale8)
{
    if (image_.isNull())
        throw TessaryError(QStringLiteral("Out of memory"));
    // The picture claims the page's own resolution, so that fonts are made at the
    // page's sizes and only the painter's scale makes them smaller.
    image_.setDotsPerMeterX(qRound(dpiX / kMetresPerInch));
    image_.setDotsPerMeterY(qRound(dpiY / kMetresPerInch));
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.scale(scaleX_, scaleY_);
    surface_ = std::make_unique<PainterSurface>(painter_);
}

SheetRaster::~SheetRaster()
{
    surface_.reset();
    painter_.end();
}

void SheetRaster::Draw(const SheetRecording& recording)
{
    painter_.save();
    painter_.resetTransform();
    painter_.fillRect(image_.rect(), Qt::white);
    painter_.restore();
    for (const auto& call : recording.calls)
        call(*surface_);
}
