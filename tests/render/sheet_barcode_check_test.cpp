// Every pass's barcode is read back from a picture of its sheet as composed:
// one that is covered, cut or off the page stops the run and names the pass.
#include "passes/valid_on_stamp.h"
#include "render/pass_walk.h"
#include "render/print_run.h"
#include "render/run_barcode_check.h"
#include "render/run_page_layout.h"

#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FixedStyle : public HeadingStyleSource {
public:
    bool Centred() const override { return false; }
    QString FaceName() const override { return QStringLiteral("Liberation Sans"); }
};

// At 300 pixels per inch a 2 x 5 sheet has cells 1200 wide with the barcode
// from 270 to 550 across its cell; heading lines 5 and 4 of a cell fill bands
// 5 to 90 and 95 to 180 from its left edge.
struct CheckCase {
    const char* name;
    int colAdjustPx;
    int rowAdjustPx;
    int startCell;
    int unreadablePass;  // index of the pass the message names; -1: the run prints
};

const CheckCase kCases[] = {
    {"clear layout", 0, 0, 1, -1},
    // Pass 1 starts the second row of cells: the heading bands of pass 2, to its
    // right, cover the right half of its bars. Pass 0, alone in its row, reads.
    {"bars half covered by the next cell", -795, 0, 2, 1},
    // The second row of cells lies 3000 pixels further down: its barcodes cross
    // the page's bottom edge.
    {"cut at the bottom of the page", 0, 2400, 1, 2},
};

TEST(SheetBarcodeCheck, AnUnreadableBarcodeStopsTheRunAndNamesItsPass)
{
    FixedStyle style;
    PassListRow row;
    row.lane = QStringLiteral("04");
    row.validOnStamp = EncodeValidOnStamp(QDate(2026, 8, 14), QTime(9, 30));
    row.quantityText = QStringLiteral("3");
    for (const CheckCase& c : kCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        PrintRunRequest request;
        request.settings.cols = 2;
        request.settings.rows = 5;
        request.settings.leftMarginInches = 0.25;
        request.settings.topMarginInches = 0.5;
        request.settings.colAdjustPx = c.colAdjustPx;
        request.settings.rowAdjustPx = c.rowAdjustPx;
        request.settings.headingLines = {"ONE", "TWO", "THREE", "Heading line four", "Heading line five"};
        request.rows = {row};
        request.style = &style;
        request.bitmapPath = dir.filePath("code128.bmp");
        request.startCell = c.startCell;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("run.pdf"));
        printer.setResolution(300);
        PrepareLetterPrinter(printer);

        QString error;
        try {
            EXPECT_EQ(PrintRun(printer, request, {}).passesDrawn, 3);
        } catch (const UnreadableBarcodeError& e) {
            error = e.text();
        }
        if (c.unreadablePass < 0) {
            EXPECT_EQ(error, QString());
            EXPECT_TRUE(QFile::exists(dir.filePath("run.pdf")));
        } else {
            EXPECT_EQ(error, QStringLiteral("The barcode of pass %1 cannot be read on the sheet (covered, cut or off "
                                            "the page). Fix the layout and retry.")
                                 .arg(PassBarcodeText(row, c.unreadablePass).left(8)));
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"code128.bmp"});
        }
    }
}

}  // namespace
