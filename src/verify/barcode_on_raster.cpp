#include "verify/barcode_on_raster.h"

#include "barcode/code128_reader.h"
#include "verify/picture_scan_lines.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <vector>

namespace {

// A gate's hand scanner is not aimed: it reads wherever its line crosses the
// bars. So the bars are read along one line per picture pixel over their whole
// length. A barcode reads when at least two thirds of that length gives its own
// text; it reads in part when a strip of it still does (at least two lines, 1/75
// inch, a strip a hand scanner can be laid along), with the rest covered; and it
// does not read when no such strip is left, or when any line gives another text
// (another pass's barcode drawn over this one: a scanner would admit the wrong
// pass).
constexpr int kReadsWholeNumerator = 2;
constexpr int kReadsWholeDenominator = 3;
constexpr int kLinesOfAStrip = 2;
constexpr int kDarkBelowGrey = 128;

struct SymbolShape {
    bool downThePage = true;  // modules follow each other down the page, bars run across
    int modulePx = 0;         // the image's own pixels a module
};

// The image is 1-bit, most significant bit first, with its colour table.
bool ImageDarkAt(const uchar* bits, qsizetype lineBytes, const bool darkIndex[2], int x, int y)
{
    return darkIndex[(bits[y * lineBytes + (x >> 3)] >> (7 - (x & 7))) & 1];
}

// The narrowest bar or space between the first and the last dark pixel of one
// line of the image (every Code 128 symbol has one-module elements), and how
// many elements the line holds. Runs are counted as the line is read: a light
// run counts once a dark one came before it and another follows.
std::pair<int, int> NarrowestElement(const QImage& image, bool down)
{
    const bool darkIndex[2] = {qGray(image.color(0)) < kDarkBelowGrey, qGray(image.color(1)) < kDarkBelowGrey};
    const uchar* bits = image.constBits();
    const qsizetype lineBytes = image.bytesPerLine();
    const int length = down ? image.height() : image.width();
    const int across = (down ? image.width() : image.height()) / 2;
    int narrowest = std::numeric_limits<int>::max();
    int elements = 0;
    int runFrom = 0;
    bool runDark = false;
    bool darkSeen = false;
    for (int i = 0; i < length; ++i) {
        const bool dark = down ? ImageDarkAt(bits, lineBytes, darkIndex, across, i)
                               : ImageDarkAt(bits, lineBytes, darkIndex, i, across);
        if (i > 0 && dark == runDark)
            continue;
        if (i > 0 && darkSeen) {
            narrowest = std::min(narrowest, i - runFrom);
            ++elements;
        }
        darkSeen = darkSeen || dark;
        runFrom = i;
        runDark = dark;
    }
    // The line's last run counts when dark; a light one has no dark after it.
    if (length > 0 && runDark) {
        narrowest = std::min(narrowest, length - runFrom);
        ++elements;
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


struct Axes {
    int alongFrom, alongLength, acrossFrom, acrossLength;
    double scaleAlong, scaleAcross;
};

// The picture pixels across the bars whose centres lie on the target: first
// and one past the last.
std::pair<int, int> LinesAcross(const Axes& a)
{
    const int first = int(std::ceil(a.acrossFrom * a.scaleAcross - 0.5));
    const int end = int(std::ceil((a.acrossFrom + a.acrossLength) * a.scaleAcross - 0.5));
    return {first, std::max(first, end)};
}

Axes AxesOf(const QRect& target, bool down, double scaleX, double scaleY)
{
    if (down)
        return {target.top(), target.height(), target.left(), target.width(), scaleY, scaleX};
    return {target.left(), target.width(), target.top(), target.height(), scaleX, scaleY};
}

}  // namespace

std::optional<BarcodeScan> PlanBarcodeScan(const PlacedBarcode& placed, QSize pagePx, double scaleX, double scaleY)
{
    const QRect target = placed.targetPx;
    if (placed.image.isNull() || target.isEmpty() || !QRect(QPoint(0, 0), pagePx).contains(target))
        return std::nullopt;
    const QImage image = placed.image.format() == QImage::Format_Mono
                             ? placed.image
                             : placed.image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    const SymbolShape shape = ShapeOf(image);
    if (shape.modulePx < 1)
        return std::nullopt;
    BarcodeScan scan;
    scan.placed = &placed;
    scan.downThePage = shape.downThePage;
    const Axes a = AxesOf(target, scan.downThePage, scaleX, scaleY);
    const int imageAlong = scan.downThePage ? image.height() : image.width();
    scan.modulePicturePx = shape.modulePx * (double(a.alongLength) / imageAlong) * a.scaleAlong;
    // The whole symbol, widened across by the picture pixels its lines fall in.
    const auto [firstLine, endLine] = LinesAcross(a);
    const int acrossFirst = std::min(a.acrossFrom, int(std::floor(firstLine / a.scaleAcross)) - 1);
    const int acrossLast =
        std::max(a.acrossFrom + a.acrossLength - 1, int(std::ceil(endLine / a.scaleAcross)) + 1);
    scan.readPx = scan.downThePage
                      ? QRect(QPoint(acrossFirst, target.top()), QPoint(acrossLast, target.bottom()))
                      : QRect(QPoint(target.left(), acrossFirst), QPoint(target.right(), acrossLast));
    return scan;
}

BarcodeLegibility ReadBarcodeOnPicture(const QImage& picture, double scaleX, double scaleY, const BarcodeScan& scan)
{
    const bool down = scan.downThePage;
    const Axes a = AxesOf(scan.placed->targetPx, down, scaleX, scaleY);
    // Along the symbol, the picture pixels wholly within the target.
    const int alongLimit = down ? picture.height() : picture.width();
    const int from = std::clamp(int(std::ceil(a.alongFrom * a.scaleAlong)), 0, alongLimit);
    const int end = std::clamp(int(std::floor((a.alongFrom + a.alongLength) * a.scaleAlong)), 0, alongLimit);
    const int acrossLimit = down ? picture.width() : picture.height();
    auto [firstLine, endLine] = LinesAcross(a);
    firstLine = std::clamp(firstLine, 0, acrossLimit);
    endLine = std::clamp(endLine, firstLine, acrossLimit);
    if (end <= from || endLine <= firstLine)
        return BarcodeLegibility::DoesNotRead;
    const PictureScanLines scanLines{&picture, down, from, end, firstLine, endLine};
    // Where nothing covers the bars, line after line is the same, and where
    // something does, the same few lines come back: each is read once.
    const std::vector<unsigned char> differs = LinesThatDiffer(scanLines);
    std::unordered_map<std::vector<bool>, std::optional<QString>> readings;
    std::vector<bool> dark;
    const std::optional<QString>* readBefore = nullptr;
    int linesRead = 0;
    int strip = 0;  // lines side by side that read, up to this one
    int widestStrip = 0;
    for (int across = firstLine; across < endLine; ++across) {
        if (differs[size_t(across - firstLine)]) {
            ReadDarkPixels(scanLines, across, dark);
            const auto [reading, isNew] = readings.try_emplace(dark);
            if (isNew)
                reading->second = ReadCode128ScaledLine(dark, scan.modulePicturePx);
            readBefore = &reading->second;
        }
        const bool reads = readBefore->has_value();
        if (reads && **readBefore != scan.placed->text)
            return BarcodeLegibility::DoesNotRead;
        linesRead += reads ? 1 : 0;
        strip = reads ? strip + 1 : 0;
        widestStrip = std::max(widestStrip, strip);
    }
    const int lines = endLine - firstLine;
    if (linesRead * kReadsWholeDenominator >= lines * kReadsWholeNumerator)
        return BarcodeLegibility::Reads;
    return widestStrip >= kLinesOfAStrip ? BarcodeLegibility::ReadsInPart : BarcodeLegibility::DoesNotRead;
}
