#include "render/barcode_on_raster.h"

#include "render/barcode/code128_reader.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Lines read across the bars, evenly spread along them. A scanner needs only one
// line, but a gate's hand scanner is not aimed: at least two thirds of the
// bars' length must read, and no line may read as anything else (another
// pass's barcode drawn over this one).
constexpr int kLinesAcrossBars = 6;
constexpr int kLinesThatMustRead = 4;
constexpr int kDarkBelowGrey = 128;

struct SymbolShape {
    bool downThePage = true;  // modules follow each other down the page, bars run across
    int modulePx = 0;         // the image's own pixels a module
};

bool ImageDarkAt(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < kDarkBelowGrey; }

// The narrowest bar or space between the first and the last dark pixel of one
// line of the image (every Code 128 symbol has one-module elements), and how
// many elements the line holds.
std::pair<int, int> NarrowestElement(const QImage& image, bool down)
{
    const int length = down ? image.height() : image.width();
    const int across = (down ? image.width() : image.height()) / 2;
    std::vector<bool> dark(size_t(std::max(0, length)));
    for (int i = 0; i < length; ++i)
        dark[size_t(i)] = down ? ImageDarkAt(image, across, i) : ImageDarkAt(image, i, across);
    int first = 0;
    while (first < length && !dark[size_t(first)])
        ++first;
    int end = length;
    while (end > first && !dark[size_t(end - 1)])
        --end;
    int narrowest = std::numeric_limits<int>::max();
    int elements = 0;
    for (int at = first; at < end; ++elements) {
        int run = at + 1;
        while (run < end && dark[size_t(run)] == dark[size_t(at)])
            ++run;
        narrowest = std::min(narrowest, run - at);
        at = run;
    }
    return {elements == 0 ? 0 : narrowest, elements};
}

// Which way the symbol runs in its image and its module size there: the
// direction along which the middle line crosses more bars.
SymbolShape ShapeOf(const QImage& image)
{
    const auto [downModule, downElements] = NarrowestElement(image, true);
    const auto [acrossModule, acrossElements] = NarrowestElement(image, false);
    if (downElements >= acrossElements)
        return {true, downModule};
    return {false, acrossModule};
}

bool PictureDarkAt(const QImage& picture, int x, int y) { return picture.constScanLine(y)[x] < kDarkBelowGrey; }

// Picture pixels that lie wholly within device pixels [fromPx, endPx).
std::pair<int, int> InnerPixels(int fromPx, int endPx, double scale, int limit)
{
    return {std::clamp(int(std::ceil(fromPx * scale)), 0, limit), std::clamp(int(std::floor(endPx * scale)), 0, limit)};
}

}  // namespace

bool BarcodeReadsOnSheet(const SheetRaster& raster, const PlacedBarcode& placed)
{
    const QRect target = placed.targetPx;
    if (placed.image.isNull() || target.isEmpty() || !QRect(QPoint(0, 0), raster.pagePx()).contains(target))
        return false;
    const QImage image = placed.image.format() == QImage::Format_Mono || placed.image.format() == QImage::Format_MonoLSB
                             ? placed.image
                             : placed.image.convertToFormat(QImage::Format_Grayscale8);
    const SymbolShape shape = ShapeOf(image);
    if (shape.modulePx < 1)
        return false;
    const QImage& picture = raster.image();
    const bool down = shape.downThePage;
    // Along the symbol: the target's extent in that direction; across: the bars' length.
    const double scaleAlong = down ? raster.scaleY() : raster.scaleX();
    const double scaleAcross = down ? raster.scaleX() : raster.scaleY();
    const int alongFrom = down ? target.top() : target.left();
    const int alongLength = down ? target.height() : target.width();
    const int acrossFrom = down ? target.left() : target.top();
    const int acrossLength = down ? target.width() : target.height();
    const int imageAlong = down ? image.height() : image.width();
    const double modulePicturePx = shape.modulePx * (double(alongLength) / imageAlong) * scaleAlong;

    const auto [from, end] =
        InnerPixels(alongFrom, alongFrom + alongLength, scaleAlong, down ? picture.height() : picture.width());
    const int acrossLimit = (down ? picture.width() : picture.height()) - 1;
    std::vector<bool> dark(size_t(std::max(0, end - from)));
    int linesRead = 0;
    for (int line = 0; line < kLinesAcrossBars; ++line) {
        const double acrossPx = acrossFrom + acrossLength * (line + 0.5) / kLinesAcrossBars;
        const int across = std::clamp(int(acrossPx * scaleAcross), 0, acrossLimit);
        for (int i = from; i < end; ++i)
            dark[size_t(i - from)] = down ? PictureDarkAt(picture, across, i) : PictureDarkAt(picture, i, across);
        const std::optional<QString> read = ReadCode128ScaledLine(dark, modulePicturePx);
        if (read && *read != placed.text)
            return false;
        linesRead += read ? 1 : 0;
    }
    return linesRead >= kLinesThatMustRead;
}
