#pragma once

#include "fonts/font_record.h"

#include <QFont>

class QPaintDevice;

// Builds the QFont that a font record asks for on a given device. A positive
// height is a character cell (ascent + descent) in device pixels, so the em size
// is found from the face's own cell-to-em ratio measured on that device.
QFont QtFontFromRecord(const FontRecord& record, QPaintDevice* device);

// Cell height (ascent + descent) in device pixels of a font on a device.
double CellHeightPx(const QFont& font, QPaintDevice* device);
