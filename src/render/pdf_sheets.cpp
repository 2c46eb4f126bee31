#include "render/pdf_sheets.h"

#include "common/tessary_error.h"
#include "render/print_document.h"
#include "render/sheet_geometry.h"

#include <QPrinter>

int PrintPassesToPdf(const QString& pdfPath, int dpi, const LayoutSettings& settings,
                     const std::vector<PassListRow>& rows, const HeadingStyleSource& style,
                     const QString& bitmapPath, const std::function<void(const QString& barcodeText)>& passDrawn)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setResolution(dpi);
    PrepareLetterPrinter(printer);

    PrintDocument document(printer);
    PainterSurface& surface = document.surface();
    const SheetGeometry geometry = ComputeSheetGeometry(settings, surface.dpiX(), surface.dpiY());
    if (!LayoutUsable(int(rows.size()), settings, geometry))
        throw TessaryError(QStringLiteral("Invalid value, fix and retry..."));
    const PassPlacement placement{geometry, settings, style, bitmapPath};
    WalkControl control;
    control.newPage = [&document] { document.newPage(); };
    control.stopRequested = [] { return false; };
    control.passDrawn = passDrawn;
    const int drawn = WalkPasses(surface, placement, rows, control);
    document.end();
    return drawn;
}
