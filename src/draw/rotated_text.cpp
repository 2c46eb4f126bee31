#include "draw/rotated_text.h"

#include <QRect>

int CentredStart(int yPx, int bandLength, int textWidthPx)
{
    return yPx + (bandLength / 2) - (textWidthPx / 2);
}

namespace {

// Puts the surface's font back however the call ends.
class SavedFont {
public:
    explicit SavedFont(DrawingSurface& surface) : surface_(surface), saved_(surface.font()) {}
    ~SavedFont() { surface_.setFont(saved_); }
    SavedFont(const SavedFont&) = delete;
    SavedFont& operator=(const SavedFont&) = delete;
    const FontRecord& record() const { return saved_; }

private:
    DrawingSurface& surface_;
    FontRecord saved_;
};

}  // namespace

void DrawRotatedText(DrawingSurface& surface, const QString& text, int xPx, int yPx, int angle,
                     int heightPx, bool bold, bool centred, int bandLength, const QString& faceName)
{
    const SavedFont saved(surface);

    FontRecord rotated = saved.record();
    rotated.heightPx = heightPx;
    rotated.escapementTenths = angle * 10;
    rotated.orientationTenths = angle * 10;
    if (bold)
        rotated.weight = 700;
    rotated.pitchAndFamily = 1;
    rotated.faceName = faceName.left(kMaxFaceNameChars);
    surface.setFont(rotated);
    surface.setBackgroundMode(BackgroundMode::Transparent);

    if (bandLength <= 0) {
        surface.textOut(xPx, yPx, text);
        return;
    }
    const int start = centred ? CentredStart(yPx, bandLength, surface.textWidthPx(text)) : yPx;
    const QRect band(QPoint(xPx - heightPx, yPx), QPoint(xPx - 1, yPx + bandLength - 1));
    surface.textOutClipped(band, xPx, start, text);
}
