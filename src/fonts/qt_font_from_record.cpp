#include "fonts/qt_font_from_record.h"

#include <QFontMetricsF>
#include <QHash>
#include <QMutex>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kReferencePoints = 200.0;
constexpr double kDefaultCellPx = 16.0;  // a surface font with no height asks for the system size

double PointsForPixels(double pixels, QPaintDevice* device)
{
    return pixels * 72.0 / double(device->logicalDpiY());
}

// Cell height divided by em height. Measured once per face, style and resolution:
// it is a property of the face, and measuring is the costly part of making a font.
double CellToEmRatio(const QFont& styled, QPaintDevice* device)
{
    // Sheets are also drawn on a thread that checks them while the run goes on.
    static QMutex mutex;
    const QMutexLocker lock(&mutex);
    static QHash<QString, double> cache;
    const QString key = styled.family() + QLatin1Char('|') + QString::number(styled.weight())
        + QLatin1Char('|') + QString::number(styled.italic()) + QLatin1Char('|')
        + QString::number(styled.fixedPitch()) + QLatin1Char('|') + QString::number(device->logicalDpiY());
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;

    QFont probe(styled);
    probe.setPointSizeF(kReferencePoints);
    const QFontMetricsF metrics(probe, device);
    const double emPx = kReferencePoints * double(device->logicalDpiY()) / 72.0;
    const double ratio = (metrics.ascent() + metrics.descent()) / emPx;
    const double usable = ratio > 0.1 ? ratio : 1.0;
    cache.insert(key, usable);
    return usable;
}

}  // namespace

QFont QtFontFromRecord(const FontRecord& record, QPaintDevice* device)
{
    QFont font;
    if (!record.faceName.isEmpty())
        font.setFamily(record.faceName);
    font.setWeight(record.weight >= 700 ? QFont::Bold : QFont::Weight(std::clamp(record.weight, 1, 1000)));
    font.setItalic(record.italic);
    font.setUnderline(record.underline);
    font.setStrikeOut(record.strikeOut);
    font.setFixedPitch((record.pitchAndFamily & 0x3) == 1);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);

    double emPx = 0.0;
    if (record.heightPx > 0)
        emPx = record.heightPx / CellToEmRatio(font, device);
    else if (record.heightPx < 0)
        emPx = -record.heightPx;
    else
        emPx = kDefaultCellPx / CellToEmRatio(font, device);
    font.setPointSizeF(PointsForPixels(emPx, device));
    return font;
}

double CellHeightPx(const QFont& font, QPaintDevice* device)
{
    const QFontMetricsF metrics(font, device);
    return metrics.ascent() + metrics.descent();
}
