#include "draw/print_document.h"
#include "output/run_page_layout.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(PrintDocument, APrinterThatCannotBeOpenedIsAnError)
{
    // A PDF file in a folder that does not exist cannot be opened, like a
    // printer whose device fails.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/run.pdf"));
    try {
        PrintDocument document(printer);
        FAIL() << "a document was begun on a printer that does not exist";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Cannot start printing on /nonexistent-folder/run.pdf");
    }
}

struct PdfPrinter {
    QTemporaryDir dir;
    QString path = dir.filePath("run.pdf");
    QPrinter printer{QPrinter::HighResolution};
    PdfPrinter()
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        PrepareLetterPrinter(printer);
    }
};

TEST(PrintDocument, AnEndedDocumentIsWrittenWithItsPages)
{
    PdfPrinter pdf;
    {
        PrintDocument document(pdf.printer);
        document.surface().textOut(100, 100, "first");
        document.newPage();
        document.surface().textOut(100, 100, "second");
        document.end();
    }
    ASSERT_TRUE(QFile::exists(pdf.path));
    QFile file(pdf.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("/Type /Page\n") + 0, 2);
}

TEST(PrintDocument, AnAbandonedDocumentLeavesNoFile)
{
    PdfPrinter pdf;
    try {
        PrintDocument document(pdf.printer);
        document.surface().textOut(100, 100, "half made");
        document.newPage();
        throw std::runtime_error("failure in the middle of a run");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(QFile::exists(pdf.path));
}

TEST(PrintDocument, LetterPortraitWithTheOriginAtThePapersCorner)
{
    PdfPrinter pdf;
    pdf.printer.setResolution(300);
    const QPageLayout layout = pdf.printer.pageLayout();
    EXPECT_EQ(layout.pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(layout.orientation(), QPageLayout::Portrait);
    EXPECT_EQ(pdf.printer.pageRect(QPrinter::DevicePixel).topLeft(), QPointF(0, 0));
    EXPECT_EQ(pdf.printer.logicalDpiX(), 300);
}

}  // namespace
