#pragma once

#include "support/pdf_barcodes.h"

#include <QImage>
#include <QString>

class RunPreview;

// Writes the pages a run's preview holds into a PDF with the preview's page
// setup, painted the way the preview paints them on screen (its scene), so that
// they can be rendered by the same tool as a printed PDF. Gives the page count.
int WritePreviewPages(RunPreview& preview, const QString& pdfPath);

// How two renderings of one page differ, each pixel taken as dark (below half
// grey) or light. The preview paints through Qt's page pictures, which come out
// with coordinates rounded differently from the run's own PDF, so a renderer can
// snap an edge or a glyph to the next pixel; nothing may move further than that.
struct PageDifference {
    qint64 differing = -1;  // dark in one rendering, light in the other; -1: sizes differ
    qint64 unmatched = -1;  // of those, clearly dark or light (a quarter grey from half) with no
                            // pixel on their side of half grey within 2 px in the other
    qint64 dark = 0;        // dark pixels of the reference
};
PageDifference ComparePages(const QImage& candidate, const QImage& reference);
