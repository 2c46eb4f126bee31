#pragma once

#include "barcode/bitmap_round_trip.h"

#include <QImage>
#include <QString>

// Has the barcode of text written to bitmapPath (PrintCode128's file) and reads
// the file back, both under the file's lock, so runs of other programs sharing
// the file cannot mix their barcodes in; returns the image read back once it
// decodes to text. One that does not throws "The barcode of pass <first 8
// characters of text> did not read back as <text>".
QImage ReadBackCode128(const QString& bitmapPath, int option, int barHeightPx, int moduleWidthPx,
                       const QString& text, const BetweenWriteAndRead& between = {});
