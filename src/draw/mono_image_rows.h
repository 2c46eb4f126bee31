#pragma once

#include <QImage>

// Whether every row of a 1-bit image is a single colour, as in a barcode whose
// bars run across the image.
bool EveryRowIsOneColour(const QImage& mono);

// Whether every row of a 1-bit image is the same, as in a barcode whose bars run
// down the image.
bool EveryRowIsTheSame(const QImage& mono);

// The one distinct column or row of a 1-bit barcode image: its first column when
// every row is one colour, its first row when every row is the same, otherwise a
// null image. Stretched over any rectangle, it shows what the whole image would
// there, pixel for pixel, and keeps the image's colour table.
QImage OneDistinctLine(const QImage& mono);
