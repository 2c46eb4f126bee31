#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// Reading what a run left in a PDF file. Pages are rendered by pdftoppm into
// uncompressed grey files in workDir (a PNG of a Letter page at 300 dpi costs
// ten times its rendering to encode and decode).

int PdfPageCount(const QString& pdfPath);

// One page (1-based) in grey at dpi; a null image when pdftoppm fails.
QImage RenderPdfPage(const QString& pdfPath, int page, int dpi, const QString& workDir);

// Every page in grey at dpi, in order.
std::vector<QImage> RenderPdfPages(const QString& pdfPath, int dpi, const QString& workDir);

// Every Code 128 symbol on a grey picture, read with the program's own line
// reader along the picture's columns and lines: each symbol once, however
// many lines cross it, in the order they are met (columns first).
QStringList ReadPictureBarcodes(const QImage& picture);

// The barcodes on one page (1-based), sorted, and on every page, page by
// page: read by the program's own reader from a 300-dpi rendering.
QStringList ScanPdfPage(const QString& pdfPath, int page, const QString& workDir);
QStringList ScanPdfBarcodes(const QString& pdfPath, const QString& workDir);

// The same read by zbarimg, a reader that shares nothing with the program:
// the one check per kind of output that a scanner at the door agrees.
QStringList ZbarPdfBarcodes(const QString& pdfPath, const QString& workDir);
