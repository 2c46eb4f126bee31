#pragma once

#include <QImage>
#include <QString>

// The Code 128 barcode on one camera frame, read by ZXing-C++ (the barcode
// reading library Debian packages) in any orientation, passes being printed
// with their barcodes running down the sheet; "" when there is none. One a
// frame: a pass is held up to the lens on its own.
QString ReadFrameBarcode(const QImage& frame);
