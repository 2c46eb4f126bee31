#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <optional>

class QPaintDevice;

// The box of every glyph of a line of text as QPainter::drawText lays it out on
// the device with the baseline at y = 0: each glyph's own outline box at its
// shaped position, combining marks and glyphs of fallback fonts included.
// (QFontMetricsF::tightBoundingRect leaves out glyphs without an advance, such
// as stacked marks.) std::nullopt when the layout gives no glyphs for a line
// that has visible characters: its ink is not known.
std::optional<QRectF> GlyphBoxesFromBaseline(const QString& text, const QFont& font, QPaintDevice* device);

// Whether every character is a printable one of Latin-1 (no soft hyphen): each
// is one glyph with an advance of its own, which tightBoundingRect measures, so
// the line needs no layout of its own (pass numbers, dates, most headings).
bool TightBoundsSuffice(const QString& text);
