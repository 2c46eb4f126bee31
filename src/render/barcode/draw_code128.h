#pragma once

#include "render/drawing_surface.h"

#include <QString>

// Has PrintCode128 write the barcode of text to bitmapPath and stretches that file
// onto the surface with its top-left corner at (xPx, yPx). valueA and valueB reach
// the encoder scaled by 0.16 (25 and 1750 become a 4-pixel module and 280-pixel bars).
void DrawCode128(DrawingSurface& surface, int xPx, int yPx, int valueA, int valueB, int dpiX, int dpiY,
                 const QString& text, int option, const QString& bitmapPath);

// Loads the BMP at bitmapPath, whose pixels are meant for 300 per inch, and stretches
// it onto the surface at dpiX by dpiY, top-left corner at (xPx, yPx), with a solid
// brush; the surface's brush style is the caller's again afterwards.
void DrawScaledBitmap(DrawingSurface& surface, int xPx, int yPx, int dpiX, int dpiY,
                      const QString& bitmapPath);
