#include "barcode/read_back_code128.h"

#include "barcode/code128_reader.h"
#include "barcode/mono_bmp.h"
#include "barcode/print_code128.h"
#include "common/tessary_error.h"

namespace {

constexpr int kPassNumberLength = 8;

}  // namespace

QImage ReadBackCode128(const QString& bitmapPath, int option, int barHeightPx, int moduleWidthPx,
                       const QString& text, const BetweenWriteAndRead& between)
{
    const Code128Bmp written = MakeCode128Bmp(bitmapPath, option, barHeightPx, moduleWidthPx, text);
    const QImage image = DecodeBmp(WriteAndReadBack(bitmapPath, written.bytes, between));
    if (ReadCode128Image(image, Code128RunsDownThePage(option), moduleWidthPx) != text) {
        throw TessaryError(
            QString("The barcode of pass %1 did not read back as %2").arg(text.left(kPassNumberLength), text));
    }
    return image;
}
