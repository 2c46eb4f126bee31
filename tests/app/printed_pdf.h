#pragma once

#include "passes/pass_list.h"

#include <QString>
#include <QStringList>

// What a print run left in its PDF file, read with poppler's tools.
int PdfPageCount(const QString& pdfPath);
// The barcodes zbarimg reads on one page (1-based), sorted.
QStringList ScanPdfPage(const QString& pdfPath, int page, const QString& workDir);
// The font names pdffonts lists, one per embedded font.
QStringList PdfFontNames(const QString& pdfPath);

// The barcode texts a row's passes carry, first pass first, for passes
// first..first+count-1 of the row.
QStringList ExpectedBarcodes(const PassListRow& row, int first, int count);
