#include "barcode/print_code128.h"

#include "barcode/code128_image.h"
#include "barcode/locked_bitmap_file.h"
#include "barcode/mono_bmp.h"
#include "common/tessary_error.h"

#include <QFile>

namespace {

constexpr int kOptionDownThePage = 3;

}  // namespace

bool Code128RunsDownThePage(int option) { return option == kOptionDownThePage; }

Code128Bmp MakeCode128Bmp(const QString& bitmapPath, int option, int barHeightPx, int moduleWidthPx,
                          const QString& text)
{
    Code128Image made;
    try {
        made = MakeCode128Image(text, Code128RunsDownThePage(option), barHeightPx, moduleWidthPx);
    } catch (const TessaryError&) {
        QFile::remove(bitmapPath);  // removes a link itself, never what it points to
        throw;
    }
    return {EncodeMonoBmp(made.image), made.resultCode};
}

int PrintCode128(const QString& bitmapPath, int option, int barHeightPx, int moduleWidthPx,
                 const QString& text)
{
    const Code128Bmp bmp = MakeCode128Bmp(bitmapPath, option, barHeightPx, moduleWidthPx, text);
    LockedBitmapFile file(bitmapPath);
    file.Overwrite(bmp.bytes);
    return bmp.resultCode;
}
