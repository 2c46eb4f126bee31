#pragma once

#include "render/recording_tee_surface.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <optional>

// How a placed barcode is read from a picture of its sheet: which way its
// modules follow each other, how wide one is in the picture, and the lines
// across its bars that are read.
struct BarcodeScan {
    const PlacedBarcode* placed = nullptr;
    bool downThePage = true;     // modules follow each other down the page
    double modulePicturePx = 0;  // one module, in picture pixels
    QRect readPx;                // device pixels holding every picture pixel read
};

// The scan of a placed barcode on a picture scaleX by scaleY picture pixels a
// device pixel, or std::nullopt when it cannot read at all: no image, or not
// wholly on the page of pagePx device pixels.
std::optional<BarcodeScan> PlanBarcodeScan(const PlacedBarcode& placed, QSize pagePx, double scaleX, double scaleY);

// Whether the barcode reads as its pass's text on the grey picture: of several
// lines across its bars, spread over their length, those covering at least two
// thirds of it read as the text with its quiet zones clear, and none reads as
// another text. A barcode covered over a third of its bars' length or more does
// not read.
bool BarcodeReadsOnPicture(const QImage& picture, double scaleX, double scaleY, const BarcodeScan& scan);
