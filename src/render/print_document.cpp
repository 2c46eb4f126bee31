#include "render/print_document.h"

#include "common/tessary_error.h"

#include <QCoreApplication>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

PrintDocument::PrintDocument(QPrinter& printer) : printer_(printer)
{
    printer_.setDocName(QString());
    outputFile_ = printer_.outputFormat() == QPrinter::PdfFormat ? printer_.outputFileName() : QString();
    if (!painter_.begin(&printer_)) {
        const QString name = outputFile_.isEmpty() ? printer_.printerName() : outputFile_;
        throw TessaryError(QStringLiteral("Cannot start printing on %1").arg(name));
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
    if (!surface_->newPage())
        throw TessaryError(QStringLiteral("Cannot start a new page on the printer"));
    QCoreApplication::processEvents();
}

void PrintDocument::end()
{
    ended_ = true;
    const bool written = painter_.end();
    QCoreApplication::processEvents();
    if (!written || printer_.printerState() == QPrinter::Error)
        throw TessaryError(QStringLiteral("The printer reported an error; the document was not printed"));
}

void PrintDocument::abandon()
{
    ended_ = true;
    printer_.abort();
    if (painter_.isActive())
        painter_.end();
    if (!outputFile_.isEmpty())
        QFile::remove(outputFile_);
}
