#pragma once

#include "draw/drawing_surface.h"

#include <QString>

// Longest face name a font record carries.
constexpr int kMaxFaceNameChars = 30;

// Draws one line of text with a font made for this call from the surface's font:
// the given height (character cell, device pixels), angle (degrees counter-clockwise),
// weight 700 when bold, fixed pitch requested and the face cut to 30 characters.
// With bandLength > 0 the text is clipped to the band that runs bandLength pixels
// from y, height pixels wide toward smaller x, optionally centred in it; the band
// is filled with the background colour first unless the brush is clear.
// The surface's font is put back afterwards; its background mode stays transparent.
void DrawRotatedText(DrawingSurface& surface, const QString& text, int xPx, int yPx, int angle,
                     int heightPx, bool bold, bool centred, int bandLength, const QString& faceName);

// Where text of textWidthPx starts along a band of bandLength starting at yPx
// when centred in it; the two halves are truncated separately.
int CentredStart(int yPx, int bandLength, int textWidthPx);
