#include "draw/text_ink.h"

#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

std::optional<QRectF> GlyphBoxesFromBaseline(const QString& text, const QFont& font, QPaintDevice* device)
{
    QTextLayout layout(text, font, device);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return text.trimmed().isEmpty() ? std::optional<QRectF>(QRectF()) : std::nullopt;
    QRectF boxes;
    int glyphs = 0;
    for (const QGlyphRun& run : line.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i, ++glyphs)
            boxes |= raw.boundingRect(indexes[i]).translated(positions[i]);
    }
    if (glyphs == 0 && !text.trimmed().isEmpty())
        return std::nullopt;
    // The runs' positions put the baseline at the line's ascent, the tallest of
    // the fonts the line falls back to.
    return boxes.translated(-line.x(), -line.ascent());
}

bool TightBoundsSuffice(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < u' ' || (u > u'~' && u < 0xA0) || u == 0xAD || u > 0xFF)
            return false;
    }
    return true;
}
