#pragma once

#include <QLocale>
#include <QString>
#include <array>

constexpr int kHeadingLineCount = 5;

// The layout as the operator typed it, read from the window for one print run.
struct LayoutSettings {
    int cols = 0;
    int rows = 0;
    int rowAdjustPx = 0;
    int colAdjustPx = 0;
    double leftMarginInches = 0.0;
    double topMarginInches = 0.0;
    double fontSizeFactor = 1.0;
    std::array<QString, kHeadingLineCount> headingLines;  // index 0 is line 1
    std::array<bool, kHeadingLineCount> headingBold{};
};

// The window's texts behind the layout settings.
struct LayoutTexts {
    QString cols, rows, rowAdjust, colAdjust;
    QString leftMargin, top, fontSize;
    std::array<QString, kHeadingLineCount> headingLines;
    std::array<bool, kHeadingLineCount> headingBold{};
};

// The four whole-number fields: passes across and down and the two adjustments.
void ReadLayoutCounts(const LayoutTexts& texts, LayoutSettings& settings);
// Margins, size factor and heading lines.
void ReadLayoutText(const LayoutTexts& texts, LayoutSettings& settings, const QLocale& locale = QLocale());
LayoutSettings ReadLayoutSettings(const LayoutTexts& texts, const QLocale& locale = QLocale());
