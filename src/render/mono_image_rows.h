#pragma once

#include <QImage>

// Whether every row of a 1-bit image is a single colour, as in a barcode whose
// bars run across the image.
bool EveryRowIsOneColour(const QImage& mono);

// An image whose rows are each one colour, turned a quarter turn counter-clockwise:
// pixel (x, y) of the result is pixel (width - 1 - y, x) of the source. Every row
// of the result is the same, and it keeps the source's colour table.
QImage TurnedOneColourRows(const QImage& mono);
