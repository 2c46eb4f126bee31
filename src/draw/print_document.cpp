#include "draw/print_document.h"

#include "common/tessary_error.h"

#include <QCoreApplication>
#include <QFile>
#include <QPrinter>

PrintDocument::PrintDocument(QPagedPaintDevice& device) : device_(device), printer_(dynamic_cast<QPrinter*>(&device))
{
    if (printer_) {
        printer_->setDocName(QString());
        outputFile_ = printer_->outputFormat() == QPrinter::PdfFormat ? printer_->outputFileName() : QString();
    }
    if (!painter_.begin(&device_)) {
        if (!printer_)
            throw OutputFileError(QStringLiteral("Cannot start printing on the run's file"));
        if (!outputFile_.isEmpty())
            throw OutputFileError(QStringLiteral("Cannot start printing on %1").arg(outputFile_));
        throw TessaryError(QStringLiteral("Cannot start printing on %1").arg(printer_->printerName()));
    }
    surface_ = std::make_unique<PainterSurface>(painter_);
}

PrintDocument::~PrintDocument()
{
    if (!ended_)
        abandon();
}

void PrintDocument::newPage()
{
    // Qt's PDF writer refuses a new page once its file has failed to take data.
    if (!surface_->newPage()) {
        if (!printer_ || !outputFile_.isEmpty())
            throw OutputFileError(QStringLiteral("Unable to write to %1").arg(outputFile_));
        throw TessaryError(QStringLiteral("Cannot start a new page on the printer"));
    }
    QCoreApplication::processEvents();
}

void PrintDocument::end()
{
    ended_ = true;
    const bool written = painter_.end();
    QCoreApplication::processEvents();
    if (!written || (printer_ && printer_->printerState() == QPrinter::Error)) {
        if (!printer_ || !outputFile_.isEmpty())
            throw OutputFileError(QStringLiteral("Unable to write to %1").arg(outputFile_));
        throw TessaryError(QStringLiteral("The printer reported an error; the document was not printed"));
    }
}

void PrintDocument::abandon()
{
    ended_ = true;
    if (printer_)
        printer_->abort();
    if (painter_.isActive())
        painter_.end();
    if (!outputFile_.isEmpty())
        QFile::remove(outputFile_);
}
