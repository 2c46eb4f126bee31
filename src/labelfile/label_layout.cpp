#include "labelfile/label_layout.h"

LayoutSettings LabelLayoutSettings(const LabelValues& values)
{
    LayoutTexts texts;
    texts.cols = values.cols;
    texts.rows = values.rows;
    texts.rowAdjust = values.rowAdjust;
    texts.colAdjust = values.colAdjust;
    texts.leftMargin = values.leftMargin;
    texts.top = values.top;
    texts.fontSize = values.fontSize;
    for (int n = 0; n < kHeadingLineCount; ++n) {
        texts.headingLines[n] = values.lines[n];
        texts.headingBold[n] = values.bold[n];
    }
    return ReadLayoutSettings(texts);
}
