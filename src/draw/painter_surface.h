#pragma once

#include "draw/drawing_surface.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QTransform>
#include <optional>
#include <vector>

class QPainter;

// The drawing surface of a real page: a QPainter that is active on a printer,
// a PDF writer or an image.
class PainterSurface : public DrawingSurface {
public:
    explicit PainterSurface(QPainter& painter);

    int dpiX() const override;
    int dpiY() const override;

    FontRecord font() const override { return font_; }
    void setFont(const FontRecord& font) override;

    BackgroundMode backgroundMode() const override { return backgroundMode_; }
    void setBackgroundMode(BackgroundMode mode) override { backgroundMode_ = mode; }

    void textOut(int xPx, int yPx, const QString& text) override;
    void textOutClipped(const QRect& clipPx, int xPx, int yPx, const QString& text) override;
    int textWidthPx(const QString& text) const override;
    QRect textInkPx(int xPx, int yPx, const QString& text) const override;

    BrushStyle brushStyle() const override { return brushStyle_; }
    void setBrushStyle(BrushStyle style) override { brushStyle_ = style; }
    QColor brushColor() const override { return brushColor_; }
    void setBrushColor(const QColor& color) { brushColor_ = color; }

    void stretchImage(const QRect& targetPx, const QImage& image) override;
    void frameRect(const QRect& rectPx, int lineWidthPx) override;

    // Ends the current page and starts the next one. Only paged devices (printers,
    // PDF writers) have pages; returns false for any other device.
    bool newPage();

    // The font a fresh page starts with: regular weight, upright, no height set.
    static FontRecord PageDefaultFont();

private:
    void drawTextAt(int xPx, int yPx, const QString& text);
    QTransform TextTransform(int xPx, int yPx) const;
    // Whether text drawn at (xPx, yPx), with its background when opaque, stays
    // well inside clipPx, so that clipping it would change nothing.
    bool FitsInside(const QRect& clipPx, int xPx, int yPx, const QString& text) const;
    // The line's glyph boxes from its top-left corner, with its background when
    // opaque, on the page before rotation; std::nullopt when not known.
    std::optional<QRectF> DrawnOf(const QString& text) const;
    // The pixels a glyph may darken beyond its outline box, on any device that
    // renders the page down to 150 per inch.
    qreal SpillPx() const;

    // A run asks for the same few fonts for every pass; making a font and its
    // metrics is most of the cost of a line of text, so the recent ones are kept.
    struct MadeFont {
        FontRecord record;
        QFont font;
        QFontMetricsF metrics;
        QHash<QString, int> widthsPx;  // heading lines repeat on every pass
        QHash<QString, std::optional<QRectF>> inkPx;  // from the line's top-left corner
    };
    std::size_t FontFor(const FontRecord& record);
    MadeFont& CurrentFont() const { return madeFonts_[currentFont_]; }

    QPainter& painter_;
    FontRecord font_;
    mutable std::vector<MadeFont> madeFonts_;
    std::size_t currentFont_ = 0;
    BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    QColor brushColor_ = Qt::white;
    QColor textColor_ = Qt::black;
};
