#pragma once

#include "verify/recording_tee_surface.h"

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

enum class BarcodeLegibility {
    Reads,        // along at least two thirds of its bars' length
    ReadsInPart,  // along a strip of its bars only: the rest is covered
    DoesNotRead,  // no strip left that reads, or a line reads as another text
};

// How the barcode reads as its pass's text on the grey picture, read along one
// line per picture pixel across the whole length of its bars, each line with
// its quiet zones clear.
BarcodeLegibility ReadBarcodeOnPicture(const QImage& picture, double scaleX, double scaleY, const BarcodeScan& scan);
