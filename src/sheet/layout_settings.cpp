#include "sheet/layout_settings.h"

#include "sheet/lenient_number.h"

void ReadLayoutCounts(const LayoutTexts& texts, LayoutSettings& settings)
{
    settings.cols = ParseLenientInt(texts.cols);
    settings.rows = ParseLenientInt(texts.rows);
    settings.rowAdjustPx = ParseLenientInt(texts.rowAdjust);
    settings.colAdjustPx = ParseLenientInt(texts.colAdjust);
}

void ReadLayoutText(const LayoutTexts& texts, LayoutSettings& settings, const QLocale& locale)
{
    settings.leftMarginInches = ParseLenientDouble(texts.leftMargin, 0.0, locale);
    settings.topMarginInches = ParseLenientDouble(texts.top, 0.0, locale);
    settings.fontSizeFactor = ParseLenientDouble(texts.fontSize, 1.0, locale);
    settings.headingLines = texts.headingLines;
    settings.headingBold = texts.headingBold;
}

LayoutSettings ReadLayoutSettings(const LayoutTexts& texts, const QLocale& locale)
{
    LayoutSettings settings;
    ReadLayoutCounts(texts, settings);
    ReadLayoutText(texts, settings, locale);
    return settings;
}
