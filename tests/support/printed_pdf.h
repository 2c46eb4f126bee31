#pragma once

#include "passes/pass_list.h"
#include "support/pdf_barcodes.h"

#include <QString>
#include <QStringList>

// The font names pdffonts lists, one per embedded font.
QStringList PdfFontNames(const QString& pdfPath);

// The barcode texts a row's passes carry, first pass first, for passes
// first..first+count-1 of the row.
QStringList ExpectedBarcodes(const PassListRow& row, int first, int count);
