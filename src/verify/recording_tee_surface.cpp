#include "verify/recording_tee_surface.h"

#include <utility>

namespace {

// The clip and the text's ink together, or null, for anywhere, when the ink is
// not known: a line drawn whole because it measured inside its clip leaves
// its ink where it was measured, and the check must see all of it.
QRect ClippedTextReach(const QRect& clipPx, const QRect& inkPx)
{
    return inkPx.isNull() ? QRect() : clipPx.united(inkPx);
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
    // Measured by the page from the glyphs it laid out, marks above or below the
    // line and fallback glyphs included.
    Record([xPx, yPx, text](DrawingSurface& s) { s.textOut(xPx, yPx, text); }, page_.textInkPx(xPx, yPx, text));
}

void RecordingTeeSurface::textOutClipped(const QRect& clipPx, int xPx, int yPx, const QString& text)
{
    page_.textOutClipped(clipPx, xPx, yPx, text);
    Record([clipPx, xPx, yPx, text](DrawingSurface& s) { s.textOutClipped(clipPx, xPx, yPx, text); },
           ClippedTextReach(clipPx, page_.textInkPx(xPx, yPx, text)));
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
