#pragma once

#include "draw/drawing_surface.h"

#include <QString>

// Has the barcode of text written to bitmapPath (PrintCode128's file), reads the
// file back and, once the image read back decodes to text, stretches it onto the
// surface with its top-left corner at (xPx, yPx). Writing and reading back happen
// under the file's lock, so runs of other programs sharing the file cannot mix
// their barcodes in. valueA and valueB reach the encoder scaled by 0.16 (25 and
// 1750 become a 4-pixel module and 280-pixel bars). An image that does not read
// back as text throws "The barcode of pass <first 8 characters of text> did not
// read back as <text>", and nothing is drawn.
void DrawCode128(DrawingSurface& surface, int xPx, int yPx, int valueA, int valueB, int dpiX, int dpiY,
                 const QString& text, int option, const QString& bitmapPath);

// Loads the BMP at bitmapPath, whose pixels are meant for 300 per inch, and stretches
// it onto the surface at dpiX by dpiY, top-left corner at (xPx, yPx), with a solid
// brush; the surface's brush style is the caller's again afterwards.
void DrawScaledBitmap(DrawingSurface& surface, int xPx, int yPx, int dpiX, int dpiY,
                      const QString& bitmapPath);
