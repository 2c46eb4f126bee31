#include "barcode/bitmap_round_trip.h"

#include "barcode/locked_bitmap_file.h"

QByteArray WriteAndReadBack(const QString& bitmapPath, const QByteArray& bytes, const BetweenWriteAndRead& between)
{
    LockedBitmapFile file(bitmapPath);
    file.Overwrite(bytes);
    if (between)
        between(bitmapPath);
    return file.ReadAll();
}
