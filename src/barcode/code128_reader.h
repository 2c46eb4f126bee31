#pragma once

#include <QImage>
#include <QString>

#include <optional>
#include <vector>

// Reads back the symbols MakeCode128Image draws, knowing their module width and
// quiet zones, the way a scanner would: the widths of bars and spaces along one
// line, the patterns, the check character and the code sets. Nothing else (no
// FNC1 to FNC3, no damage, no other scale) is accepted.

// The text of the symbol along darkPx, one flag a pixel, true for a bar: a
// quiet zone of at least 10 modules, a start character, data, the check
// character, the stop pattern and another quiet zone, every bar and space a
// whole number of modulePx. std::nullopt for anything else.
std::optional<QString> ReadCode128Line(const std::vector<bool>& darkPx, int modulePx);

// The same along a line of a page drawn at another scale, where a module is
// modulePx pixels, a fraction allowed (at least 2 for a sound reading). Each bar
// and space must come within half a module of a whole number of modules, 1 to
// 4; each quiet zone may lose a pixel to the edge of the line.
std::optional<QString> ReadCode128ScaledLine(const std::vector<bool>& darkPx, double modulePx);

// The same along the middle column of the image when downThePage, else along
// its middle line. Colours darker than mid-grey are bars.
std::optional<QString> ReadCode128Image(const QImage& image, bool downThePage, int modulePx);
