#pragma once

#include <QImage>

// Whether every row of a 1-bit image is a single colour, as in a barcode whose
// bars run across the image.
bool EveryRowIsOneColour(const QImage& mono);

// The image turned a quarter turn counter-clockwise: pixel (x, y) of the result
// is pixel (width - 1 - y, x) of the source, kept 1-bit with the same colour table.
QImage TurnedCounterClockwise(const QImage& mono);
