#pragma once

#include "common/tessary_error.h"
#include "draw/painter_surface.h"

#include <QPainter>
#include <QString>
#include <memory>

class QPagedPaintDevice;
class QPrinter;

// An error of the printer's output file rather than of what is drawn: it could
// not be opened, or a page could not be written to it (a full disk). A caller
// that writes the file somewhere of its own can name the file the operator chose.
class OutputFileError : public TessaryError {
public:
    using TessaryError::TessaryError;
};

// One print document on a printer or a PDF writer: begun on construction, ended by end().
// A document that is destroyed without end() (an error during the run) is
// abandoned: the printer is asked to abort and a partly written file is removed.
// Failures of a PDF output file are OutputFileErrors.
class PrintDocument {
public:
    explicit PrintDocument(QPagedPaintDevice& device);
    ~PrintDocument();
    PrintDocument(const PrintDocument&) = delete;
    PrintDocument& operator=(const PrintDocument&) = delete;

    PainterSurface& surface() { return *surface_; }
    // The page's own painter, for what is drawn beside the run (the preview's marks).
    QPainter& painter() { return painter_; }

    // Ends the sheet and starts the next; pending window events are handled
    // here so that a click on the abort button reaches the run.
    void newPage();
    // Ends the document, which then goes to the printer whole.
    void end();

private:
    void abandon();

    QPagedPaintDevice& device_;
    QPrinter* printer_;  // null for a PDF writer, whose file belongs to the caller
    QPainter painter_;
    std::unique_ptr<PainterSurface> surface_;
    QString outputFile_;
    bool ended_ = false;
};
