#pragma once

#include "draw/draw_pass.h"
#include "passes/pass_list.h"

#include <QString>
#include <vector>

// Prints passes straight into a PDF file at a given resolution, without a print
// dialog: the path a run takes once the operator has chosen "Print to File".
// Returns the number of passes drawn.
int PrintPassesToPdf(const QString& pdfPath, int dpi, const LayoutSettings& settings,
                     const std::vector<PassListRow>& rows, const HeadingStyleSource& style,
                     const QString& bitmapPath);
