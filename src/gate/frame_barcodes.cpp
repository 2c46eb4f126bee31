#include "gate/frame_barcodes.h"

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

QString ReadFrameBarcode(const QImage& frame)
{
    if (frame.isNull())
        return QString();
    const QImage grey = frame.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                int(grey.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code128);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    // ReadBarcode, not ReadBarcodes: Debian 12's ZXing 1.4.0 stops the
    // program on an assertion when ReadBarcodes finds two linear symbols in
    // one frame (a sheet of passes held up whole).
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? QString::fromStdString(result.text()) : QString();
}
