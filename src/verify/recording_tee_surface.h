#pragma once

#include "draw/drawing_surface.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

// A barcode as the run placed it on a sheet: the pass it belongs to, its cell
// and the image with the rectangle it was stretched into (empty when the pass
// drew no image).
struct PlacedBarcode {
    QString text;
    QRect cellPx;
    QRect targetPx;
    QImage image;
};

// One call made on the page, and the rectangle outside which it leaves every
// pixel as it was (null: it may reach anywhere, or it only sets state).
struct RecordedCall {
    std::function<void(DrawingSurface&)> draw;
    QRect reachPx;
};

// Everything drawn on one sheet, in order, ready to be drawn again elsewhere.
struct SheetRecording {
    int sheet = 0;
    std::vector<RecordedCall> calls;
    std::vector<PlacedBarcode> barcodes;
};

// Forwards every call to the page it stands in front of, so that the page gets
// exactly what it would get without it, and keeps a copy of the drawing calls
// of the current sheet. Questions (resolution, font, widths) are answered by
// the page alone.
class RecordingTeeSurface : public DrawingSurface {
public:
    explicit RecordingTeeSurface(DrawingSurface& page) : page_(page) {}

    // Starts a new sheet's recording with the page's current state, so that the
    // sheet can be drawn again on its own.
    void StartSheet(int sheet);
    // The pass whose barcode was the last image drawn has been drawn whole.
    void PassPlaced(const QString& barcodeText, const QRect& cellPx);
    SheetRecording TakeSheet();

    int dpiX() const override { return page_.dpiX(); }
    int dpiY() const override { return page_.dpiY(); }
    FontRecord font() const override { return page_.font(); }
    void setFont(const FontRecord& font) override;
    BackgroundMode backgroundMode() const override { return page_.backgroundMode(); }
    void setBackgroundMode(BackgroundMode mode) override;
    void textOut(int xPx, int yPx, const QString& text) override;
    void textOutClipped(const QRect& clipPx, int xPx, int yPx, const QString& text) override;
    int textWidthPx(const QString& text) const override { return page_.textWidthPx(text); }
    QRect textInkPx(int xPx, int yPx, const QString& text) const override { return page_.textInkPx(xPx, yPx, text); }
    BrushStyle brushStyle() const override { return page_.brushStyle(); }
    void setBrushStyle(BrushStyle style) override;
    QColor brushColor() const override { return page_.brushColor(); }
    void stretchImage(const QRect& targetPx, const QImage& image) override;
    void frameRect(const QRect& rectPx, int lineWidthPx) override;

private:
    void Record(std::function<void(DrawingSurface&)> call, const QRect& reachPx = QRect());

    DrawingSurface& page_;
    SheetRecording sheet_;
    QRect lastTargetPx_;
    QImage lastImage_;
};
