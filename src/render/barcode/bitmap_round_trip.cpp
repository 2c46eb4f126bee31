#include "render/barcode/bitmap_round_trip.h"

#include "render/barcode/bitmap_round_trip_test_hook.h"
#include "render/barcode/locked_bitmap_file.h"

#include <utility>

namespace {

std::function<void(const QString&)>& BetweenWriteAndRead()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

}  // namespace

void SetBitmapRoundTripHookForTests(std::function<void(const QString& bitmapPath)> hook)
{
    BetweenWriteAndRead() = std::move(hook);
}

QByteArray WriteAndReadBack(const QString& bitmapPath, const QByteArray& bytes)
{
    LockedBitmapFile file(bitmapPath);
    file.Overwrite(bytes);
    if (BetweenWriteAndRead())
        BetweenWriteAndRead()(bitmapPath);
    return file.ReadAll();
}
