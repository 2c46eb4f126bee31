#pragma once

#include <QByteArray>
#include <QString>

// Writes the Code 128 symbol of text, without human-readable text and with its
// quiet zones, to bitmapPath as a 1-bit BMP file whose pixels are meant for 300
// per inch, overwriting the file in place under its lock (LockedBitmapFile).
// option 3 turns the symbol to run down the page (start character at the top, bar
// tops toward larger x); any other option leaves it running left to right.
// barHeightPx is the bar length and moduleWidthPx the narrowest bar, both in image
// pixels. Returns the encoder's result code (0, or a warning below 5). When the
// symbol cannot be made, the file is removed, so that no earlier barcode stands in
// for this one, and a TessaryError carries the encoder's own message.
int PrintCode128(const QString& bitmapPath, int option, int barHeightPx, int moduleWidthPx,
                 const QString& text);

// Whether option turns the symbol to run down the page.
bool Code128RunsDownThePage(int option);

struct Code128Bmp {
    QByteArray bytes;    // the whole file
    int resultCode = 0;  // as PrintCode128 returns it
};

// The file PrintCode128 writes, made in memory; a symbol that cannot be made is
// handled as PrintCode128 does.
Code128Bmp MakeCode128Bmp(const QString& bitmapPath, int option, int barHeightPx, int moduleWidthPx,
                          const QString& text);
