#include "verify/sheet_raster.h"

#include "common/tessary_error.h"
#include "draw/mono_image_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr double kMetresPerInch = 0.0254;

int ScaledPx(int devicePx, double scale) { return std::max(1, int(std::ceil(devicePx * scale))); }

// The source pixel under the centre of picture pixel i, for a source of
// sourceLength pixels stretched over targetLength device pixels from targetFrom.
// A centre that falls on the edge between two source pixels takes the later
// one, whatever the rounding of the division.
int SourcePx(int i, double scale, int targetFrom, int targetLength, int sourceLength)
{
    const double along = ((i + 0.5) / scale - targetFrom) * sourceLength / targetLength;
    return std::clamp(int(std::floor(along + 1e-6)), 0, sourceLength - 1);
}

// Picture pixels whose centres lie within a rectangle of device pixels.
struct PictureSpan {
    int firstX, endX, firstY, endY;
};

PictureSpan SpanOf(const QRect& devicePx, double scaleX, double scaleY, const QImage& picture)
{
    const auto first = [](int from, double scale) { return std::max(0, int(std::ceil(from * scale - 0.5))); };
    const auto end = [](int to, double scale, int limit) { return std::min(limit, int(std::ceil(to * scale - 0.5))); };
    return {first(devicePx.left(), scaleX), end(devicePx.left() + devicePx.width(), scaleX, picture.width()),
            first(devicePx.top(), scaleY), end(devicePx.top() + devicePx.height(), scaleY, picture.height())};
}

// The page's drawing, except that images are copied into the picture directly,
// nearest pixel as the painter would, without the painter's conversion of every
// image to a colour format of its own first.
class PictureSurface : public PainterSurface {
public:
    PictureSurface(QPainter& painter, QImage& picture, double scaleX, double scaleY)
        : PainterSurface(painter), picture_(picture), scaleX_(scaleX), scaleY_(scaleY)
    {
    }

    void stretchImage(const QRect& targetPx, const QImage& image) override
    {
        if (image.isNull() || targetPx.isEmpty())
            return;
        const QImage source = image.format() == QImage::Format_Mono
                                  ? image
                                  : image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
        const uchar grey[2] = {uchar(qGray(source.color(0))), uchar(qGray(source.color(1)))};
        const auto greyAt = [&grey](const uchar* line, int x) { return grey[(line[x >> 3] >> (7 - (x & 7))) & 1]; };
        const PictureSpan span = SpanOf(targetPx, scaleX_, scaleY_, picture_);
        // A barcode whose bars run across its rows copies a row at a time.
        const bool rowsOneColour = EveryRowIsOneColour(source);
        std::vector<int> sourceX(rowsOneColour ? 0 : size_t(std::max(0, span.endX - span.firstX)));
        for (size_t i = 0; i < sourceX.size(); ++i)
            sourceX[i] = SourcePx(span.firstX + int(i), scaleX_, targetPx.left(), targetPx.width(), source.width());
        // The picture's rows are reached through one pointer, not scanLine()'s check
        // for a shared copy row by row.
        uchar* const pictureBits = span.firstY < span.endY ? picture_.bits() : nullptr;
        const qsizetype pictureLineBytes = picture_.bytesPerLine();
        for (int y = span.firstY; y < span.endY; ++y) {
            const uchar* from =
                source.constScanLine(SourcePx(y, scaleY_, targetPx.top(), targetPx.height(), source.height()));
            uchar* to = pictureBits + qsizetype(y) * pictureLineBytes;
            if (rowsOneColour) {
                std::memset(to + span.firstX, greyAt(from, 0), size_t(std::max(0, span.endX - span.firstX)));
                continue;
            }
            for (int x = span.firstX; x < span.endX; ++x)
                to[x] = greyAt(from, sourceX[size_t(x - span.firstX)]);
        }
    }

private:
    QImage& picture_;
    double scaleX_;
    double scaleY_;
};

bool ReachesAny(const QRect& reachPx, const std::vector<QRect>& readPx)
{
    for (const QRect& read : readPx) {
        if (reachPx.intersects(read))
            return true;
    }
    return false;
}

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
    surface_ = std::make_unique<PictureSurface>(painter_, image_, scaleX_, scaleY_);
}

SheetRaster::~SheetRaster()
{
    surface_.reset();
    painter_.end();
}

void SheetRaster::Draw(const SheetRecording& recording, const std::vector<QRect>& readPx)
{
    for (const QRect& read : readPx) {
        // Every picture pixel the rectangle touches.
        const int firstX = std::max(0, int(std::floor(read.left() * scaleX_)));
        const int endX = std::min(image_.width(), int(std::ceil((read.right() + 1) * scaleX_)));
        const int firstY = std::max(0, int(std::floor(read.top() * scaleY_)));
        const int endY = std::min(image_.height(), int(std::ceil((read.bottom() + 1) * scaleY_)));
        for (int y = firstY; y < endY; ++y)
            std::memset(image_.scanLine(y) + firstX, 0xFF, size_t(std::max(0, endX - firstX)));
    }
    for (const RecordedCall& call : recording.calls) {
        if (call.reachPx.isNull() || ReachesAny(call.reachPx, readPx))
            call.draw(*surface_);
    }
}
