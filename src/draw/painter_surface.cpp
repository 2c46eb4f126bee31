#include "draw/painter_surface.h"

#include "draw/mono_image_rows.h"
#include "draw/text_ink.h"
#include "fonts/qt_font_from_record.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

PainterSurface::PainterSurface(QPainter& painter) : painter_(painter)
{
    setFont(PageDefaultFont());
}

FontRecord PainterSurface::PageDefaultFont()
{
    FontRecord record;
    record.faceName = QFont().family();
    return record;
}

int PainterSurface::dpiX() const { return painter_.device()->logicalDpiX(); }
int PainterSurface::dpiY() const { return painter_.device()->logicalDpiY(); }

void PainterSurface::setFont(const FontRecord& font)
{
    currentFont_ = FontFor(font);
    font_ = font;
}

std::size_t PainterSurface::FontFor(const FontRecord& record)
{
    constexpr std::size_t kKept = 16;
    for (std::size_t i = 0; i < madeFonts_.size(); ++i) {
        if (madeFonts_[i].record == record)
            return i;
    }
    if (madeFonts_.size() >= kKept)
        madeFonts_.erase(madeFonts_.begin());
    const QFont font = QtFontFromRecord(record, painter_.device());
    madeFonts_.push_back({record, font, QFontMetricsF(font, painter_.device()), {}, {}});
    return madeFonts_.size() - 1;
}

namespace {

// Heading lines repeat on every pass; a few dozen cover a run.
constexpr qsizetype kKeptPerFont = 64;

}  // namespace

std::optional<QRectF> PainterSurface::DrawnOf(const QString& text) const
{
    MadeFont& made = CurrentFont();
    auto known = made.inkPx.constFind(text);
    if (known == made.inkPx.constEnd()) {
        if (made.inkPx.size() >= kKeptPerFont)
            made.inkPx.clear();
        // The outlines' box, and where it may miss glyphs (marks without an
        // advance) every glyph's box as laid out, measured from the baseline;
        // the line is drawn from its top.
        std::optional<QRectF> ink = made.metrics.tightBoundingRect(text);
        if (!TightBoundsSuffice(text)) {
            const std::optional<QRectF> glyphs = GlyphBoxesFromBaseline(text, made.font, painter_.device());
            ink = glyphs ? std::optional<QRectF>(*glyphs | *ink) : std::nullopt;
        }
        if (ink)
            ink = ink->translated(0, made.metrics.ascent());
        known = made.inkPx.insert(text, ink);
    }
    if (!*known || backgroundMode_ != BackgroundMode::Opaque)
        return *known;
    return **known | QRectF(0, 0, made.metrics.horizontalAdvance(text), made.metrics.ascent() + made.metrics.descent());
}

QTransform PainterSurface::TextTransform(int xPx, int yPx) const
{
    QTransform transform;
    transform.translate(xPx, yPx);
    // Escapement is counter-clockwise on the page; Qt's y axis points down, so
    // a counter-clockwise turn is a negative angle here.
    transform.rotate(-font_.escapementTenths / 10.0);
    return transform;
}

void PainterSurface::drawTextAt(int xPx, int yPx, const QString& text)
{
    const MadeFont& made = CurrentFont();
    const QFontMetricsF& metrics = made.metrics;
    painter_.save();
    painter_.setTransform(TextTransform(xPx, yPx), true);
    if (backgroundMode_ == BackgroundMode::Opaque) {
        painter_.fillRect(QRectF(0, 0, metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent()),
                          brushColor_);
    }
    painter_.setFont(made.font);
    painter_.setPen(textColor_);
    painter_.drawText(QPointF(0, metrics.ascent()), text);
    painter_.restore();
}

qreal PainterSurface::SpillPx() const
{
    // A glyph's pixels can reach past its outline by about a pixel of whatever
    // renders the page, down to 150 per inch, and the outlines are measured
    // hinted at this resolution; the margin covers both.
    return std::max(2.0, 2.0 * std::max(dpiX(), dpiY()) / 150.0);
}

bool PainterSurface::FitsInside(const QRect& clipPx, int xPx, int yPx, const QString& text) const
{
    const std::optional<QRectF> drawn = DrawnOf(text);
    if (!drawn)
        return false;
    const qreal marginPx = SpillPx();
    const QRectF inside = QRectF(clipPx).adjusted(marginPx, marginPx, -marginPx, -marginPx);
    return inside.contains(TextTransform(xPx, yPx).mapRect(*drawn));
}

QRect PainterSurface::textInkPx(int xPx, int yPx, const QString& text) const
{
    const std::optional<QRectF> drawn = DrawnOf(text);
    if (!drawn)
        return QRect();
    const qreal marginPx = SpillPx();
    return TextTransform(xPx, yPx).mapRect(*drawn).adjusted(-marginPx, -marginPx, marginPx, marginPx).toAlignedRect();
}

void PainterSurface::textOut(int xPx, int yPx, const QString& text) { drawTextAt(xPx, yPx, text); }

void PainterSurface::textOutClipped(const QRect& clipPx, int xPx, int yPx, const QString& text)
{
    // A line that fits its band is drawn without the clip, which would cut
    // nothing and only add operators.
    if (FitsInside(clipPx, xPx, yPx, text)) {
        if (brushStyle_ != BrushStyle::Clear)
            painter_.fillRect(clipPx, brushColor_);
        drawTextAt(xPx, yPx, text);
        return;
    }
    painter_.save();
    if (brushStyle_ != BrushStyle::Clear)
        painter_.fillRect(clipPx, brushColor_);
    painter_.setClipRect(clipPx, Qt::IntersectClip);
    drawTextAt(xPx, yPx, text);
    painter_.restore();
}

int PainterSurface::textWidthPx(const QString& text) const
{
    MadeFont& made = CurrentFont();
    QHash<QString, int>& widths = made.widthsPx;
    const auto known = widths.constFind(text);
    if (known != widths.constEnd())
        return *known;
    constexpr qsizetype kKeptWidths = 64;
    if (widths.size() >= kKeptWidths)
        widths.clear();
    const int width = int(std::lround(made.metrics.horizontalAdvance(text)));
    widths.insert(text, width);
    return width;
}

void PainterSurface::stretchImage(const QRect& targetPx, const QImage& image)
{
    // A barcode's bars run the whole height or width of its image, so one column
    // or row of it, stretched over the same rectangle, shows the same pixels; a
    // print document then stores, compresses and hands on only that line.
    const QImage line = OneDistinctLine(image);
    const QImage& drawn = line.isNull() ? image : line;
    // PDF output never smooths an image; saving the state would only add operators.
    if (painter_.paintEngine() != nullptr && painter_.paintEngine()->type() == QPaintEngine::Pdf) {
        painter_.drawImage(targetPx, drawn);
        return;
    }
    painter_.save();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.drawImage(targetPx, drawn);
    painter_.restore();
}

void PainterSurface::frameRect(const QRect& rectPx, int lineWidthPx)
{
    const int w = std::min({lineWidthPx, rectPx.width(), rectPx.height()});
    if (w < 1)
        return;
    // Four filled strips rather than a pen, whose line would straddle the edges.
    painter_.fillRect(QRect(rectPx.left(), rectPx.top(), rectPx.width(), w), Qt::black);
    painter_.fillRect(QRect(rectPx.left(), rectPx.bottom() + 1 - w, rectPx.width(), w), Qt::black);
    painter_.fillRect(QRect(rectPx.left(), rectPx.top(), w, rectPx.height()), Qt::black);
    painter_.fillRect(QRect(rectPx.right() + 1 - w, rectPx.top(), w, rectPx.height()), Qt::black);
}

bool PainterSurface::newPage()
{
    auto* paged = dynamic_cast<QPagedPaintDevice*>(painter_.device());
    if (paged == nullptr || !paged->newPage())
        return false;
    brushStyle_ = BrushStyle::Solid;
    brushColor_ = Qt::white;
    return true;
}
