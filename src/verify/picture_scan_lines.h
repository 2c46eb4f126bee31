#pragma once

#include <QImage>

#include <vector>

// The lines a barcode is read along on the sheet's grey picture (8 bits a
// pixel): picture columns firstLine to endLine when its modules follow each
// other down the page, picture rows otherwise, each over the pixels alongFrom
// to alongEnd. A pixel darker than mid-grey is a bar.
struct PictureScanLines {
    const QImage* picture = nullptr;
    bool downThePage = true;
    int alongFrom = 0, alongEnd = 0;
    int firstLine = 0, endLine = 0;
};

// One flag a line, from firstLine on: set where the line's bars and spaces
// differ anywhere from the line before's, and for the first line. Lines between
// two set flags read alike, so only the flagged ones need reading.
std::vector<unsigned char> LinesThatDiffer(const PictureScanLines& lines);

// The bars of one line, one flag a pixel along it, into dark (resized to fit).
void ReadDarkPixels(const PictureScanLines& lines, int line, std::vector<bool>& dark);
