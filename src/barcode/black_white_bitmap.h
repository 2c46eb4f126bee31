#pragma once

#include <QImage>

// The same picture as a 1-bit image whose colour table is exactly {black, white}.
// Qt's PDF engine stores only that table losslessly (any other, such as zint's
// {white, black}, ends up as a JPEG); colours other than black and white go to
// whichever of the two is nearer.
QImage ToBlackWhiteMono(const QImage& image);
