#pragma once

#include "render/recording_tee_surface.h"
#include "render/sheet_raster.h"

// Whether the placed barcode reads as its pass's text on the picture of its
// sheet: it lies wholly on the page, and of several lines across its bars,
// spread over their length, those covering at least two thirds of it read as
// the text with its quiet zones clear, and none reads as another text. A
// barcode covered over a third of its bars' length or more, cut or off the
// page does not read.
bool BarcodeReadsOnSheet(const SheetRaster& raster, const PlacedBarcode& placed);
