#pragma once

#include <QByteArray>
#include <QImage>

// A 1-bit image (QImage::Format_Mono with two colours) as a BMP file: the
// 14-byte file header, the 40-byte information header, the two-colour table and
// the lines from the bottom up, each padded to four bytes.
QByteArray EncodeMonoBmp(const QImage& mono);

// The picture of a BMP file as a 1-bit image with the colour table {black, white}.
// 1-bit files in black and white, as EncodeMonoBmp writes them, are read here;
// any other kind of BMP goes through Qt's reader. Throws "Bitmap image is not
// valid" for anything that is not a whole bitmap.
QImage DecodeBmp(const QByteArray& bytes);
