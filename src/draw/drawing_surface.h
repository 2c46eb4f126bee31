#pragma once

#include "fonts/font_record.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

enum class BrushStyle { Solid, Clear, Hatched };
enum class BackgroundMode { Opaque, Transparent };

// The page that passes are drawn on. Every position is in device pixels from the
// surface's origin; resolutions are pixels per inch.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;

    virtual FontRecord font() const = 0;
    virtual void setFont(const FontRecord& font) = 0;

    virtual BackgroundMode backgroundMode() const = 0;
    virtual void setBackgroundMode(BackgroundMode mode) = 0;

    // Text whose first character cell has its top-left corner at (xPx, yPx),
    // rotated with the current font's escapement.
    virtual void textOut(int xPx, int yPx, const QString& text) = 0;
    // The same, clipped to clipPx, which is first filled with the background
    // colour unless the brush is clear.
    virtual void textOutClipped(const QRect& clipPx, int xPx, int yPx, const QString& text) = 0;
    // Advance of the text along its baseline in the current font, device pixels.
    virtual int textWidthPx(const QString& text) const = 0;
    // The pixels text drawn from (xPx, yPx) in the current font, with its
    // background when opaque, may darken: its glyphs as laid out, marks and
    // fallback glyphs included. Null when the surface cannot tell: anywhere.
    virtual QRect textInkPx(int xPx, int yPx, const QString& text) const
    {
        (void)xPx, (void)yPx, (void)text;
        return QRect();
    }

    virtual BrushStyle brushStyle() const = 0;
    virtual void setBrushStyle(BrushStyle style) = 0;
    virtual QColor brushColor() const = 0;

    // The whole image stretched into targetPx as a plain pixel copy.
    virtual void stretchImage(const QRect& targetPx, const QImage& image) = 0;

    // The rectangle's outline in black, lineWidthPx wide, inside its edges.
    virtual void frameRect(const QRect& rectPx, int lineWidthPx) = 0;
};
