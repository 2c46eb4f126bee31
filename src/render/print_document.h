#pragma once

#include "render/painter_surface.h"
#include "render/run_page_layout.h"

#include <QPainter>
#include <QString>
#include <memory>

class QPrinter;

// One print document on a printer: begun on construction, ended by end().
// A document that is destroyed without end() (an error during the run) is
// abandoned: the printer is asked to abort and a partly written file is removed.
class PrintDocument {
public:
    explicit PrintDocument(QPrinter& printer);
    ~PrintDocument();
    PrintDocument(const PrintDocument&) = delete;
    PrintDocument& operator=(const PrintDocument&) = delete;

    PainterSurface& surface() { return *surface_; }

    // Ends the sheet and starts the next; pending window events are handled
    // here so that a click on the abort button reaches the run.
    void newPage();
    // Ends the document, which then goes to the printer whole.
    void end();

    // The printer's chosen output file, empty when printing to a queue.
    QString outputFile() const { return outputFile_; }

private:
    void abandon();

    QPrinter& printer_;
    QPainter painter_;
    std::unique_ptr<PainterSurface> surface_;
    QString outputFile_;
    bool ended_ = false;
};
