#pragma once

#include "render/print_run.h"

#include <QDialog>
#include <QString>
#include <map>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QPushButton;

// A window that shows the sheets of one run as the run prints them: it draws
// through DrawRun on a page set up like the run's own (PreviewPrinterFor). Page
// through, zoom, fit. Print closes it accepted, Close rejected; the caller
// decides what printing means.
class RunPreview : public QDialog {
    Q_OBJECT

public:
    // page must outlive the window. A drawing error is thrown from here, with the
    // text the run would give.
    RunPreview(QPrinter& page, const PrintRunRequest& request, QWidget* parent = nullptr);

    QPrintPreviewWidget& view() { return *view_; }
    const QPrinter& page() const { return page_; }
    // The sheet of the run on the page in view, counted as in a full run; 0 when
    // the preview has no page.
    int SheetInView() const;
    // The text under the pages: which sheet is in view, or why there is none.
    QString PositionText() const;
    // The line under the sheet in view that counts its passes whose barcodes will
    // not read (framed in red on the sheet); empty when every one reads.
    QString UnreadableText() const;

private:
    void Draw(QPrinter* printer);
    void ShowPosition();
    void Step(int pages);

    QPrinter& page_;
    PrintRunRequest request_;
    QString drawError_;
    QPrintPreviewWidget* view_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* unreadable_ = nullptr;
    std::map<int, int> unreadableOnSheet_;  // sheet of the run: passes that do not read
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
};
