#pragma once

#include <QImage>
#include <QString>

// The quiet zone zint leaves on either side of a Code 128 symbol, in modules.
constexpr int kCode128QuietZoneModules = 10;

struct Code128Image {
    QImage image;        // 1 bit, colour table {black, white}, 300 pixels per inch
    int resultCode = 0;  // zint's: 0, or a warning below 5
};

// The Code 128 symbol of text with its quiet zones and no human-readable text,
// pixel for pixel as zint's own bitmap of it: moduleWidthPx pixels a module and
// bars barHeightPx long (zint's rounding), turned to run down the page (start at
// the top, bars across the rows) when downThePage, else left to right. Throws a
// TessaryError with zint's message when zint refuses the text or the sizes.
Code128Image MakeCode128Image(const QString& text, bool downThePage, int barHeightPx, int moduleWidthPx);
