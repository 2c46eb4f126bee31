#pragma once

#include "common/tessary_error.h"
#include "output/run_page_layout.h"
#include "run/print_run.h"
#include "support/pdf_barcodes.h"
#include "support/planned_run.h"
#include "support/tools.h"

#include <QImage>
#include <QImageReader>
#include <QPrinter>

// Page 1 of a PDF as pdftoppm renders it in grey at 600 dpi.
inline QImage RenderedAt600(const QString& pdf, const QString& dir) { return RenderPdfPage(pdf, 1, 600, dir); }

// The first sheet of a run to a file laid out at 600 dpi, as rendered.
inline QImage RunRenderedAt600(const PrintRunRequest& request, const QString& dir)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir + "/run.pdf");
    printer.setResolution(600);
    PrepareLetterPrinter(printer);
    PrintRequest(printer, request);
    return RenderedAt600(dir + "/run.pdf", dir);
}

// The pixels darker than half grey within the window.
inline QRect InkBox(const QImage& page, const QRect& window)
{
    QRect box;
    const QRect inside = window & page.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (page.constScanLine(y)[x] < 128)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}
