#pragma once

#include "common/tessary_error.h"
#include "support/fixed_heading_style.h"
#include "output/run_page_layout.h"
#include "passes/valid_on_stamp.h"
#include "run/print_run.h"
#include "support/planned_run.h"

#include <QPrinter>

// Twelve passes of one row of lane 07 on sheets of 2 x 2: three sheets.
inline PrintRunRequest TwelvePassesOnTwoByTwo(const HeadingStyleSource& style, const QString& bitmapPath)
{
    PrintRunRequest request;
    request.settings.cols = 2;
    request.settings.rows = 2;
    request.settings.leftMarginInches = 0.25;
    request.settings.topMarginInches = 0.5;
    request.settings.headingLines = {"LANE PASS", "", "", "", "VALID"};
    PassListRow row;
    row.lane = "07";
    row.validOnStamp = EncodeValidOnStamp(QDate(2026, 12, 8), QTime(9, 30, 14));
    row.quantityText = "12";
    request.rows = {row};
    request.style = &style;
    request.bitmapPath = bitmapPath;
    return request;
}

// Prints the request to a PDF file at 300 dpi, as Print to File would.
inline PrintRunResult PrintToPdfFile(const PrintRunRequest& request, const QString& pdfPath,
                                     const RunCopies& copies = {})
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setCopyCount(copies.count);
    printer.setCollateCopies(copies.collate);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setResolution(300);
    PrepareLetterPrinter(printer);
    return PrintRequest(printer, request);
}
