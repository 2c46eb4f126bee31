#include "render/recording_tee_surface.h"

#include <utility>

namespace {

// Where text drawn from a point in this font can leave ink: at a right angle, the
// strip from the point along the baseline, one character cell deep, with half a
// cell more on every side for glyphs that reach beyond their cells. Null, for
// anywhere, at other angles or when the font's size is left to the surface.
QRect TextOutReach(const FontRecord& font, int xPx, int yPx)
{
    constexpr int kFar = 1 << 28;
    const int cell = font.heightPx > 0 ? font.heightPx : -2 * font.heightPx;  // a negative height is the em
    if (cell == 0)
        return QRect();
    const int margin = cell / 2 + 1;
    switch ((font.escapementTenths % 3600 + 3600) % 3600) {
    case 0:  // along the page, cells below the point
        return QRect(QPoint(xPx - margin, yPx - margin), QPoint(kFar, yPx + cell + margin));
    case 900:  // up the page, cells to the right
        return QRect(QPoint(xPx - margin, -kFar), QPoint(xPx + cell + margin, yPx + margin));
    case 1800:  // backwards, cells above
        return QRect(QPoint(-kFar, yPx - cell - margin), QPoint(xPx + margin, yPx + margin));
    case 2700:  // down the page, cells to the left
        return QRect(QPoint(xPx - cell - margin, yPx - margin), QPoint(xPx + margin, kFar));
    default:
        return QRect();
    }
}

}  // namespace

void RecordingTeeSurface::StartSheet(int sheet)
{
    sheet_ = SheetRecording();
    sheet_.sheet = sheet;
    lastTargetPx_ = QRect();
    lastImage_ = QImage();
    Record([font = page_.font(), mode = page_.backgroundMode(), brush = page_.brushStyle()](DrawingSurface& s) {
        s.setFont(font);
        s.setBackgroundMode(mode);
        s.setBrushStyle(brush);
    });
}

void RecordingTeeSurface::PassPlaced(const QString& barcodeText, const QRect& cellPx)
{
    sheet_.barcodes.push_back({barcodeText, cellPx, lastTargetPx_, lastImage_});
    lastTargetPx_ = QRect();
    lastImage_ = QImage();
}

SheetRecording RecordingTeeSurface::TakeSheet()
{
    lastImage_ = QImage();
    return std::exchange(sheet_, SheetRecording());
}

void RecordingTeeSurface::Record(std::function<void(DrawingSurface&)> call, const QRect& reachPx)
{
    sheet_.calls.push_back({std::move(call), reachPx});
}

void RecordingTeeSurface::setFont(const FontRecord& font)
{
    page_.setFont(font);
    Record([font](DrawingSurface& s) { s.setFont(font); });
}

void RecordingTeeSurface::setBackgroundMode(BackgroundMode mode)
{
    page_.setBackgroundMode(mode);
    Record([mode](DrawingSurface& s) { s.setBackgroundMode(mode); });
}

void RecordingTeeSurface::textOut(int xPx, int yPx, const QString& text)
{
    page_.textOut(xPx, yPx, text);
    Record([xPx, yPx, text](DrawingSurface& s) { s.textOut(xPx, yPx, text); }, TextOutReach(page_.font(), xPx, yPx));
}

void RecordingTeeSurface::textOutClipped(const QRect& clipPx, int xPx, int yPx, const QString& text)
{
    page_.textOutClipped(clipPx, xPx, yPx, text);
    // Both the fill and the text stay within the clip rectangle.
    Record([clipPx, xPx, yPx, text](DrawingSurface& s) { s.textOutClipped(clipPx, xPx, yPx, text); }, clipPx);
}

void RecordingTeeSurface::setBrushStyle(BrushStyle style)
{
    page_.setBrushStyle(style);
    Record([style](DrawingSurface& s) { s.setBrushStyle(style); });
}

void RecordingTeeSurface::stretchImage(const QRect& targetPx, const QImage& image)
{
    page_.stretchImage(targetPx, image);
    // The image is shared, not copied: the caller's pixels stay as they are.
    Record([targetPx, image](DrawingSurface& s) { s.stretchImage(targetPx, image); }, targetPx);
    lastTargetPx_ = targetPx;
    lastImage_ = image;
}

void RecordingTeeSurface::frameRect(const QRect& rectPx, int lineWidthPx)
{
    page_.frameRect(rectPx, lineWidthPx);
    Record([rectPx, lineWidthPx](DrawingSurface& s) { s.frameRect(rectPx, lineWidthPx); }, rectPx);
}
